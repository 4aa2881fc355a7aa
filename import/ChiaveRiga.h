#pragma once
#include <QString>

// Company number, year and month of an export line, as the engines read them: a field
// that is not a number keeps the value of the previous line.
struct ChiaveRiga {
    qint16 numero = 0;
    qint16 anno = 0;
    qint16 mese = 0;

    // The company number field and the date field (day, month, year: "31122023").
    // A number too large for 16 bits is an overflow error.
    void leggi(const QString& numeroDitta, const QString& data);
    bool operator==(const ChiaveRiga&) const = default;
};
