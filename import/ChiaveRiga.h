#pragma once
#include <QString>

// Company number, year and month of an export line. A line whose fields give no company
// and period is placed nowhere: it never takes the previous line's company or month.
struct ChiaveRiga {
    qint16 numero = 0;
    qint16 anno = 0;
    qint16 mese = 0;

    // The company number field and the date field (day, month, year: "31122023"). Gives
    // the empty text when the line has a company and a period (the key is then set), else
    // why it has none (the key is then cleared).
    QString leggi(const QString& numeroDitta, const QString& data);
    bool valida() const { return numero != 0 && anno != 0 && mese != 0; }
    // One number per key, for hashing.
    quint64 codice() const { return (quint64(quint16(numero)) << 32) | (quint64(quint16(anno)) << 16) | quint64(quint16(mese)); }
    bool operator==(const ChiaveRiga&) const = default;
};

class ctlVevAre;

// A line of the export that cannot be placed: a log row with its number and the reason,
// and a row of the anomaly report. `numeroDitta` is the line's company field as read.
void segnalaRigaNonImportata(ctlVevAre& screen, qint64 numero, const QString& riga, const QString& motivo,
                             const QString& numeroDitta);
