#include "platform/balance/BalanceCheck.h"
#include "platform/db/Connection.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include <QHash>
#include <cmath>

namespace {

// What the company's chart makes of an account: the income statement's sections and
// the memorandum accounts, which stay out; every other account is the balance sheet's.
enum class Gruppo { Patrimoniale, Economico, Memoria };
const QString SezioneEconomica1 = QStringLiteral("4"), SezioneEconomica2 = QStringLiteral("5"), SezioneMemoria = QStringLiteral("6");

// A stored value in ten-thousandths, the precision of the values' columns: the totals
// are exact sums, the same in whatever order the rows come and on both databases.
bool decimillesimi(const QVariant& v, qint64& out)
{
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return !__builtin_mul_overflow(v.toLongLong(), qint64(10000), &out);
    const double d = v.toDouble() * 10000;
    if (!(std::fabs(d) < 9.2e18)) return false;  // beyond the range, or no number
    out = qRound64(d);
    return true;
}

}  // namespace

void BalanceCheck::Verifica(Connection& connection, QString& ditta, QString& anno, qint16& mese, qint16& periodo,
                            qint32&, bool&, qint16&)
{
    for (double& t : m_totali) t = 0;
    const QString codiceDitta = vb::Trim(ditta);

    // Each stored value is placed by its account in the company's chart, in memory: one
    // look-up per row in the database costs more than the whole read.
    qint64 somme[4] = {0, 0, 0, 0};
    bool traboccato = false;
    const auto leggi = [&] {
        for (qint64& s : somme) s = 0;
        QHash<QString, Gruppo> gruppi;
        bool registrata = false;
        connection.Scorri(
            QStringLiteral("SELECT P.QD15_CODICECONTO, P.QD15_SEZIONE FROM QD05_DITTA D "
                           "LEFT JOIN QD15_DEFPDC P ON P.QD15_CODICEPDC_QD04 = D.QD05_CODICEPDC_QD04 "
                           "AND P.QD15_SEZIONE IN (?, ?, ?) WHERE D.QD05_CODICEDITTA = ?"),
            {SezioneEconomica1, SezioneEconomica2, SezioneMemoria, codiceDitta}, [&](std::span<const QVariant> r) {
                registrata = true;
                if (!r[0].isNull())
                    gruppi.insert(r[0].toString(), r[1].toString() == SezioneMemoria ? Gruppo::Memoria : Gruppo::Economico);
            });
        if (!registrata) return;  // values of a company the register does not hold belong to nobody
        connection.Scorri(
            QStringLiteral("SELECT QD07_CODICECONTO, QD07_VALOREORIGINALE FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = ? "
                           "AND QD07_ANNO = ? AND QD07_MESE = ? AND QD07_NPERIODO = ?"),
            {codiceDitta, vb::Trim(anno), int(mese), int(periodo)}, [&](std::span<const QVariant> r) {
                const auto g = gruppi.constFind(r[0].toString());
                const Gruppo gruppo = g == gruppi.constEnd() ? Gruppo::Patrimoniale : *g;
                if (gruppo == Gruppo::Memoria || r[1].isNull()) return;
                qint64 valore = 0;
                if (!decimillesimi(r[1], valore)) {
                    traboccato = true;
                    return;
                }
                qint64& somma = somme[2 * (valore < 0) + (gruppo == Gruppo::Economico)];
                traboccato = traboccato || __builtin_add_overflow(somma, valore, &somma);
            });
    };

    // Inside an import's transaction a failed read must not spoil the transaction.
    const bool letti = connection.tenta(leggi);
    if (!letti || traboccato) {
        const QString causa = traboccato                       ? QStringLiteral("totale fuori dai limiti")
                              : connection.Errors().isEmpty() ? QString()
                                                              : connection.Errors().first().description;
        throw AppError(-2147467259L, QStringLiteral("Totali del periodo non disponibili: ") + causa,
                       QStringLiteral("KTRBO_Quadratura"));
    }
    for (int i = 0; i < 4; ++i) m_totali[i] = double(somme[i]) / 10000;
}
