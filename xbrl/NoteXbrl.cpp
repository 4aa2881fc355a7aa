#include "xbrl/NoteXbrl.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/Valori.h"
#include "xbrl/AnagraficaXbrl.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/SchermoXbrl.h"
#include "platform/db/Connection.h"
#include "xbrl/Tassonomia.h"

namespace {

// The prepared period of the context; null when there is none. A period never
// prepared has no number, and a footnote of it has nowhere to go.
const RigaTabellaPeriodi* rigaDi(const TabellaPeriodi& tabella, const QString& contesto)
{
    const ContestoXbrl* c = tabella.contesto(contesto);
    return c && c->riga && c->riga->preparata ? c->riga : nullptr;
}

}  // namespace

NoteXbrl::NoteXbrl(SchermoXbrl& schermo, const Tassonomia& tassonomia) : m_schermo(schermo), m_tassonomia(tassonomia) {}

void NoteXbrl::registra(const DocumentoXbrl& documento, const TabellaPeriodi& tabella, const QString& ditta)
{
    Connection& conn = m_schermo.global().Database().Connection();
    const QVariant codice = m_tassonomia.codiceSql();
    for (const pugi::xml_node link : documento.elementi("link:footnoteLink")) {
        const QString testo = DocumentoXbrl::testo(link);
        // Only the first locator counts: a footnote shared by several facts is stored once.
        const pugi::xml_attribute href = documento.attributo(documento.figlio(link, "link:loc"), "xlink:href");
        if (!href) continue;
        const pugi::xml_node fatto = documento.perId(QString::fromUtf8(href.value()).mid(1));
        if (!fatto) continue;
        // A fact without a context, or whose context is in no prepared row, has no period.
        const pugi::xml_attribute contextRef = fatto.attribute("contextRef");
        const RigaTabellaPeriodi* riga = contextRef ? rigaDi(tabella, QString::fromUtf8(contextRef.value())) : nullptr;
        if (!riga) continue;

        const QString chiave =
            conn.Leggi(QStringLiteral("SELECT QD51_PK FROM QD51_XBRLDEFANAG WHERE QD51_VERSIONE = ? AND QD51_ID = ?"),
                       {codice, documento.idConcetto(fatto)});
        if (chiave.isEmpty()) continue;
        const QString definizione =
            conn.Leggi(QStringLiteral("SELECT QD77_ID FROM QD77_FOOTNOTEDEF WHERE QD77_VERSIONE = ? AND QD77_PK_QD51 = ?"),
                       {codice, chiave.toLongLong()});
        if (definizione.isEmpty()) continue;

        conn.Esegui(QStringLiteral("INSERT INTO [QD78_FOOTNOTE] ([QD78_CODICEDITTA_QD05] ,[QD78_ANNO],[QD78_MESE],"
                                   "[QD78_NPERIODO],[QD78_ID_QD77],[QD78_FOOTNOTE]) Values (?,?,?,?,?,?)"),
                    {vb::Trim(ditta), QString::number(riga->anno), int(riga->mese), int(vb::CInt(riga->periodo)),
                     definizione.toLongLong(), testoSql(testo)});
    }
}
