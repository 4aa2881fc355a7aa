#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"

// Text comparisons here are ordinal, character code by character code.

QString ctlVevAre::SezioneDaLettera(const QString& lettera, double importo)
{
    if (lettera == QLatin1String("A")) return QStringLiteral("1");
    if (lettera == QLatin1String("P")) return QStringLiteral("2");
    if (lettera == QLatin1String("E")) return importo >= 0 ? QStringLiteral("4") : QStringLiteral("5");
    if (lettera == QLatin1String("O")) return QStringLiteral("6");
    return QStringLiteral(" ");
}

QString ctlVevAre::FormattaCodiceCEE(QString& codice)
{
    codice = vb::Trim(codice);
    const QString& s = codice;
    const QString secondo = s.mid(1, 1);
    const bool senzaSecondo = secondo == QLatin1String("0") || secondo == QLatin1String(" ");
    const QChar trattino = QLatin1Char('-');
    return s.left(1) + trattino + (senzaSecondo ? QString() : secondo) + trattino + s.mid(2, 2) + trattino + s.mid(4, 3) +
           trattino + (s.size() >= 8 ? s.mid(7) : QString());
}

QString ctlVevAre::SezioneConto(const QString& pdc, const QString& conto)
{
    // A failed read gives a blank and must not spoil the import's transaction around it.
    Connection& conn = m_CGlobal->Database().Connection();
    QString sezione = QStringLiteral(" ");
    conn.tenta([&] {
        Recordset rs;
        rs.Open(QStringLiteral("Select QD15_SEZIONE from QD15_DEFPDC Where QD15_CODICEPDC_QD04 = ") + StringaSQL(ApiciSQL(pdc)) +
                    QStringLiteral(" and QD15_CODICECONTO = ") + StringaSQL(ApiciSQL(vb::Trim(conto))),
                conn);
        if (rs.Eof()) {
            sezione.clear();
            return;
        }
        const QVariant letta = rs.value(QStringLiteral("QD15_SEZIONE"));
        rs.Close();
        const QString s = letta.isNull() ? QString() : letta.toString();
        for (const char* valida : {"1", "2", "4", "5", "6"})
            if (s == QLatin1String(valida)) sezione = s;
    });
    return sezione;
}

bool ctlVevAre::ContoCreabile(const QString& pdc, const QString& conto, bool standard)
{
    // A chart of its own may always receive accounts; of the standard charts only the
    // Kadro chart does, and only in its open ranges.
    if (!standard) return true;
    if (pdc != QLatin1String("KXPDC")) return false;
    const QString prefisso = conto.left(2);
    for (const char* aperto : {"56", "57", "97", "98"})
        if (prefisso == QLatin1String(aperto)) return true;
    return conto.mid(4, 3).compare(QLatin1String("501")) >= 0 || conto.mid(2, 2).compare(QLatin1String("51")) >= 0;
}
