#include "xbrl/MappaturaXbrl.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"
#include "xbrl/Tassonomia.h"

namespace {

// Rows of a query as key -> value texts; the first row of a key wins.
template <typename Valore, typename Leggi>
void leggiTutto(Connection& c, const QString& sql, const QString& chiave, QHash<QString, Valore>& destinazione, Leggi leggi)
{
    Recordset rs;
    rs.Open(sql, c, Recordset::adOpenStatic, Recordset::adLockReadOnly);
    const int k = rs.fieldIndex(chiave);
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString valoreChiave = vb::CStr(rs.value(k));
        if (!destinazione.contains(valoreChiave)) destinazione.insert(valoreChiave, leggi(rs));
    }
    rs.Close();
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
               QStringLiteral("SELECT QD51_XBRLDEFANAG.QD51_VERSIONE, QD51_XBRLDEFANAG.QD51_PK, QD51_XBRLDEFANAG.QD51_ID, "
                              "QD51_XBRLDEFANAG.QD51_LABEL, QD51_XBRLDEFANAG.QD51_SALDO, QD52_XBRLCORR.QD52_CODICEPDC_QD04, "
                              "QD52_XBRLCORR.QD52_CODICECONTO_QD15 ") +
                   QStringLiteral("FROM QD51_XBRLDEFANAG INNER JOIN QD52_XBRLCORR ON (QD51_XBRLDEFANAG.QD51_PK = "
                                  "QD52_XBRLCORR.QD52_PK_QD51) AND (QD51_XBRLDEFANAG.QD51_VERSIONE = "
                                  "QD52_XBRLCORR.QD52_VERSIONE) ") +
                   QStringLiteral("WHERE ((QD51_VERSIONE = ") + vb::Trim(t.codice) +
                   QStringLiteral(") AND ((QD52_XBRLCORR.QD52_CODICEPDC_QD04)=") + StringaSQL(versione) + QStringLiteral("))"),
               QStringLiteral("QD51_ID"), m_voci, [](Recordset& rs) {
                   return Voce{vb::CStr(rs.value(QStringLiteral("QD51_LABEL"))),
                               vb::CStr(rs.value(QStringLiteral("QD51_SALDO"))),
                               vb::CStr(rs.value(QStringLiteral("QD52_CODICECONTO_QD15")))};
               });
    leggiTutto(c,
               QStringLiteral("SELECT QD02_VOCE, QD02_TIPORIGA FROM QD02_DEFSCHEMA WHERE QD02_CODICESCHEMA_QD01 = ") +
                   StringaSQL(vb::Trim(t.schema)),
               QStringLiteral("QD02_VOCE"), m_tipiRiga,
               [](Recordset& rs) { return vb::CStr(rs.value(QStringLiteral("QD02_TIPORIGA"))); });
    leggiTutto(c,
               QStringLiteral("SELECT QD15_CODICECONTO, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 = ") +
                   StringaSQL(versione),
               QStringLiteral("QD15_CODICECONTO"), m_sezioni,
               [](Recordset& rs) { return vb::CStr(rs.value(QStringLiteral("QD15_SEZIONE"))); });
    // Databases made before the groups were generated have no such table: no group then.
    // Under a savepoint, so that the import's transaction survives the failed look-up.
    if (!c.tenta([&] {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT QD53_CODICECONTO_QD15, QD53_CODICECONTOPARTE FROM QD53_XBRLGRUPPI WHERE "
                                   "QD53_CODICEPDC_QD04 = ") + StringaSQL(versione),
                    c, Recordset::adOpenForwardOnly, Recordset::adLockReadOnly);
            for (; !rs.Eof(); rs.MoveNext()) m_parti[vb::CStr(rs.value(0))].insert(vb::CStr(rs.value(1)));
            rs.Close();
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
