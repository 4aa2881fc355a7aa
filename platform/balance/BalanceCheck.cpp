#include "platform/balance/BalanceCheck.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"

namespace {
QString literal(const QString& text) { return StringaSQL(ApiciSQL(text)); }
}  // namespace

void BalanceCheck::Verifica(Connection& connection, QString& ditta, QString& anno, qint16& mese, qint16& periodo,
                            qint32&, bool&, qint16&)
{
    for (double& t : m_totali) t = 0;

    const QString sql =
        QStringLiteral("SELECT P.QD15_SEZIONE AS SEZIONE, SUM(V.QD07_VALOREORIGINALE) AS TOTALE "
                       "FROM QD07_VALORIPDC V "
                       "INNER JOIN QD05_DITTA D ON D.QD05_CODICEDITTA = V.QD07_CODICEDITTA_QD05 "
                       "INNER JOIN QD15_DEFPDC P ON P.QD15_CODICEPDC_QD04 = D.QD05_CODICEPDC_QD04 "
                       "AND P.QD15_CODICECONTO = V.QD07_CODICECONTO "
                       "WHERE V.QD07_CODICEDITTA_QD05 = ") +
        literal(vb::Trim(ditta)) + QStringLiteral(" AND V.QD07_ANNO = ") + literal(vb::Trim(anno)) +
        QStringLiteral(" AND V.QD07_MESE = ") + QString::number(mese) + QStringLiteral(" AND V.QD07_NPERIODO = ") +
        QString::number(periodo) +
        QStringLiteral(" AND P.QD15_SEZIONE IN ('1', '2', '4', '5') GROUP BY P.QD15_SEZIONE");

    // Inside an import's transaction a failed statement must not spoil the transaction
    // on servers that abort it (PostgreSQL): the query runs under a savepoint there.
    const bool savepoint = connection.kind() == Connection::PostgreSQL && connection.inTransaction();
    if (savepoint) connection.Execute(QStringLiteral("SAVEPOINT KTR_QUADRATURA"));
    try {
        Recordset rs;
        rs.Open(sql, connection);
        while (!rs.Eof()) {
            const QString sezione = rs.value(QStringLiteral("SEZIONE")).toString();
            const double totale = rs.value(QStringLiteral("TOTALE")).toDouble();  // null: 0
            if (sezione == QLatin1String("1")) m_totali[0] = totale;
            else if (sezione == QLatin1String("2")) m_totali[1] = totale;
            else if (sezione == QLatin1String("4")) m_totali[2] = totale;
            else if (sezione == QLatin1String("5")) m_totali[3] = totale;
            rs.MoveNext();
        }
        rs.Close();
    } catch (...) {
        for (double& t : m_totali) t = 0;
        if (savepoint) {
            try {
                connection.Execute(QStringLiteral("ROLLBACK TO SAVEPOINT KTR_QUADRATURA"));
            } catch (...) {
            }
        }
        throw;
    }
    if (savepoint) connection.Execute(QStringLiteral("RELEASE SAVEPOINT KTR_QUADRATURA"));
}
