#pragma once
#include <QString>

class Connection;
class DocumentoXbrl;
struct Tassonomia;

// The company's master data as the document's "DatiAnagrafici" facts give them, and
// the statements that register the company from them.
struct AnagraficaXbrl {
    QString denominazione;
    QString sede;                 // at most 50 characters
    QString partitaIva;           // empty when the document has none
    QString codiceFiscale;
    QString ateco;
    QString formaGiuridica;
    QString capitaleSociale;
    QString versato;
    QString codiceCciaa;
    QString numeroRea;
    QString alboCooperative;
    bool gruppo = false;
    QString capogruppo;           // trimmed, at most 100 characters
    QString paeseCapogruppo;      // trimmed, at most 100 characters
    bool liquidazione = false;
    bool socioUnico = false;
    bool direzioneAltrui = false;
    QString societaDirezione;     // trimmed, at most 100 characters

    // Reads the facts in their order; a flag whose text is no truth value is an error.
    static AnagraficaXbrl leggi(const DocumentoXbrl& documento);

    // The code a registered company gets: the last six characters of its identifier.
    static QString codiceDitta(const QString& identificativo);
    // Registers the company and its reporting model; texts are cut to their columns.
    // Capital or flags that cannot be read are errors.
    void registra(Connection& connessione, const QString& codice, const QString& identificativo,
                  const Tassonomia& tassonomia, const QString& unita) const;
};

// A document's text as this import writes it into SQL: apostrophes become "`".
QString testoSql(const QString& testo);
