#pragma once
#include <QString>
#include <QVariant>

// What an itcc-ci document's taxonomy selects: the chart of accounts its facts are
// posted to, the reporting model of a new company and the reporting schema.
struct Tassonomia {
    QString codice;       // QD50_CODICE of the document's itcc-ci namespace
    QString versione;     // "85" ... "99", "85CO" ...: also the chart (QD04) code
    QString modelloBase;  // "KXCE85" or "KXCE86"
    QString schema;       // QD02_CODICESCHEMA_QD01

    // The row of the taxonomy code whose prefix the schema reference contains (the
    // first in the table's order); version, model and schema stay empty without one.
    static Tassonomia riconosci(const QString& codice, const QString& schemaRef);

    // Consolidated schemas whose periods are recorded as consolidated.
    bool consolidato() const;

    // The code as bound against the numeric version columns: a code that is no number
    // stays text and finds no row.
    QVariant codiceSql() const;
};
