#include "platform/balance/BalanceCheck.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/runtime/AppError.h"
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
        QStringLiteral("SELECT CASE WHEN P.QD15_SEZIONE IN ('4', '5') THEN 1 ELSE 0 END AS ECONOMICO, "
                       "CASE WHEN V.QD07_VALOREORIGINALE < 0 THEN 1 ELSE 0 END AS AVERE, "
                       "SUM(V.QD07_VALOREORIGINALE) AS TOTALE "
                       "FROM QD07_VALORIPDC V "
                       "INNER JOIN QD05_DITTA D ON D.QD05_CODICEDITTA = V.QD07_CODICEDITTA_QD05 "
                       "LEFT JOIN QD15_DEFPDC P ON P.QD15_CODICEPDC_QD04 = D.QD05_CODICEPDC_QD04 "
                       "AND P.QD15_CODICECONTO = V.QD07_CODICECONTO "
                       "WHERE V.QD07_CODICEDITTA_QD05 = ") +
        literal(vb::Trim(ditta)) + QStringLiteral(" AND V.QD07_ANNO = ") + literal(vb::Trim(anno)) +
        QStringLiteral(" AND V.QD07_MESE = ") + QString::number(mese) + QStringLiteral(" AND V.QD07_NPERIODO = ") +
        QString::number(periodo) +
        QStringLiteral(" AND (P.QD15_SEZIONE IS NULL OR P.QD15_SEZIONE <> '6') GROUP BY 1, 2");

    // Inside an import's transaction a failed read must not spoil the transaction.
    bool letti = false;
    connection.tenta([&] {
        Recordset rs;
        rs.Open(sql, connection);
        while (!rs.Eof()) {
            const int economico = rs.value(QStringLiteral("ECONOMICO")).toInt();
            const int avere = rs.value(QStringLiteral("AVERE")).toInt();
            m_totali[2 * avere + economico] = rs.value(QStringLiteral("TOTALE")).toDouble();  // null: 0
            rs.MoveNext();
        }
        rs.Close();
        letti = true;
    });
    if (!letti) {
        for (double& t : m_totali) t = 0;
        const QString causa = connection.Errors().isEmpty() ? QString() : connection.Errors().first().description;
        throw AppError(-2147467259L, QStringLiteral("Totali del periodo non disponibili: ") + causa,
                       QStringLiteral("KTRBO_Quadratura"));
    }
}
