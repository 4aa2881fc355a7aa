#pragma once
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// One row of an XBRL document's period table: an (identifier, year) of its contexts,
// and, once its first fact comes, the period it is posted to.
struct RigaTabellaPeriodi {
    QString contesti;               // ids of the row's contexts, "|"-separated after the instant's
    QString identificativo;         // entity identifier, set by the instant context
    std::optional<qint16> anno;     // set by the instant context
    qint16 mese = 0;
    QDate istante;
    QDate inizio;
    QDate fine;
    bool preparata = false;         // period number, rate, period record and zero values done
    double cambio = 0;              // rate of the row's facts
    QString periodo;                // period number, as chosen or typed

    // A row holds a key only once its instant has been read.
    bool libera() const;
};

// Fixed for the run: one row per two contexts, never enlarged.
using TabellaPeriodi = std::vector<RigaTabellaPeriodi>;

// Rows for a document with this many contexts: (contexts / 2) - 1 rounded half to
// even, plus one (at least one row); beyond 16-bit row numbers it is an overflow.
int righePerContesti(int contesti);

// The row of an identifier and year: the first row that is free or holds that key;
// with neither, the last row (extra pairs share it). 0 for an empty table.
qint16 RigaPeriodo(const TabellaPeriodi& tabella, const QString& chiave, qint16 anno);

// The row of a context reference: the first row without contexts or whose contexts
// contain the reference (case-sensitive substring); the last row when none does.
qint16 RigaContesto(const TabellaPeriodi& tabella, const QString& contesto);
