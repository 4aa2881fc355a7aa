#include "xbrl/MappaturaXbrl.h"
#include "platform/db/Connection.h"
#include "platform/runtime/Valori.h"
#include "xbrl/Tassonomia.h"

namespace {

// Rows of a query as key (its first column) -> value; the first row of a key wins.
template <typename Valore, typename Leggi>
void leggiTutto(Connection& c, const QString& sql, const QVariantList& valori, QHash<QString, Valore>& destinazione,
                Leggi leggi)
{
    c.Scorri(sql, valori, [&](std::span<const QVariant> riga) {
        const QString chiave = vb::CStr(riga[0]);
        if (!destinazione.contains(chiave)) destinazione.insert(chiave, leggi(riga));
    });
}

}  // namespace

void MappaturaXbrl::carica(Connection& c, const Tassonomia& t)
{
    m_voci.clear();
    m_tipiRiga.clear();
    m_sezioni.clear();
    m_parti.clear();
    const QString versione = vb::Trim(t.versione);

    // The mapping query of one fact, without the condition on the element id.
    leggiTutto(c,
               QStringLiteral("SELECT QD51_XBRLDEFANAG.QD51_ID, QD51_XBRLDEFANAG.QD51_LABEL, QD51_XBRLDEFANAG.QD51_SALDO, "
                              "QD52_XBRLCORR.QD52_CODICECONTO_QD15 "
                              "FROM QD51_XBRLDEFANAG INNER JOIN QD52_XBRLCORR ON (QD51_XBRLDEFANAG.QD51_PK = "
                              "QD52_XBRLCORR.QD52_PK_QD51) AND (QD51_XBRLDEFANAG.QD51_VERSIONE = "
                              "QD52_XBRLCORR.QD52_VERSIONE) "
                              "WHERE ((QD51_VERSIONE = ?) AND ((QD52_XBRLCORR.QD52_CODICEPDC_QD04)=?))"),
               {t.codiceSql(), versione}, m_voci, [](std::span<const QVariant> r) {
                   return Voce{vb::CStr(r[1]), vb::CStr(r[2]), vb::CStr(r[3])};
               });
    leggiTutto(c, QStringLiteral("SELECT QD02_VOCE, QD02_TIPORIGA FROM QD02_DEFSCHEMA WHERE QD02_CODICESCHEMA_QD01 = ?"),
               {vb::Trim(t.schema)}, m_tipiRiga, [](std::span<const QVariant> r) { return vb::CStr(r[1]); });
    leggiTutto(c, QStringLiteral("SELECT QD15_CODICECONTO, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 = ?"),
               {versione}, m_sezioni, [](std::span<const QVariant> r) { return vb::CStr(r[1]); });
    // Databases made before the groups were generated have no such table: no group then.
    // Under a savepoint, so that the import's transaction survives the failed look-up.
    if (!c.tenta([&] {
            c.Scorri(QStringLiteral("SELECT QD53_CODICECONTO_QD15, QD53_CODICECONTOPARTE FROM QD53_XBRLGRUPPI WHERE "
                                    "QD53_CODICEPDC_QD04 = ?"),
                     {versione}, [&](std::span<const QVariant> r) { m_parti[vb::CStr(r[0])].insert(vb::CStr(r[1])); });
        })) {
        m_parti.clear();
        c.clearErrors();
    }
    m_caricata = true;
}

const MappaturaXbrl::Voce* MappaturaXbrl::voce(const QString& id) const
{
    const auto it = m_voci.constFind(id);
    return it == m_voci.constEnd() ? nullptr : &*it;
}
