#pragma once
#include <QDateTime>
#include <QString>

class CGlobal;

// Where the values of a period came from: one row of QD22_IMPORTAZIONI for each period an
// import commits, or a deletion removes, written in that same transaction, so that a
// rolled-back import or a trial run leaves none.
struct Provenienza {
    // Kinds of source, as stored.
    static const QString Testo, Kadro, CEE, XBRL, Eliminazione;
    // Origins, as stored; the host names its own with the App property "Origine".
    static const QString Finestra, RigaDiComando;

    QString ditta;
    QString anno;
    qint16 mese = 0;
    qint16 periodo = 0;
    QString tipo;
    QString file;             // the source file as opened; empty for a deletion
    qint64 dimensione = -1;   // bytes; -1 when there is no file
    QString sha256;           // hex digest of the file's content
    QString definizione;      // the definition file of a text import
    QDateTime quando;         // UTC
    QString utente;           // the operating system's user
    QString origine;          // Finestra or RigaDiComando
    QString valuta;
    double cambio = 0;
    qint64 valori = -1;       // values stored (for a deletion: removed); -1 until counted
    QString quadratura;       // EsitoQuadratura::testo(); empty for a deletion
    double differenza = 0;

    // Writes the row on the host connection, inside the caller's transaction. Time, user,
    // origin, the file's size and digest and the count of the period's values are filled
    // in when not given.
    static void registra(CGlobal& global, Provenienza p);

    // The operating system's user running the program.
    static QString utenteSistema();
    // Size and SHA-256 of a file; an automatic run commits many periods from one export,
    // which is read once while it stays unchanged.
    struct Impronta {
        qint64 dimensione = -1;
        QString sha256;
    };
    static Impronta impronta(const QString& file);
};
