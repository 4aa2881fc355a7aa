#include "import/RiepilogoAutomatica.h"
#include "control/ctlVevAre.h"
#include "platform/db/Connection.h"

QString MeseAnno(qint16 mese, qint16 anno) { return QString::number(mese) + QLatin1Char('/') + QString::number(anno); }

QString SalvataggioNonVerificabile(const QStringList& periodi)
{
    return QStringLiteral("esito del salvataggio non verificabile: controllare il periodo ") + periodi.join(QStringLiteral(", ")) +
           QStringLiteral(" (connessione al database persa)");
}

QString PeriodoDaControllare(int periodo, int mese, const QString& anno)
{
    return QString::number(periodo) + QStringLiteral(" di ") + QString::number(mese) + QLatin1Char('/') + anno;
}

void CommitImportazione(Connection& conn, const QStringList& periodi, bool* ignoto)
{
    const int ignotiPrima = conn.commitIgnoti();
    try {
        conn.CommitTrans();
    } catch (...) {
        if (conn.commitIgnoti() == ignotiPrima) throw;
        if (ignoto) *ignoto = true;
        conn.fail(SalvataggioNonVerificabile(periodi), conn.database().driverName());
    }
}

bool DiscoPieno(const QString& errore)
{
    for (const char* testo : {"database or disk is full", "No space left on device", "could not extend file", "disk full"})
        if (errore.contains(QLatin1String(testo), Qt::CaseInsensitive)) return true;
    return false;
}

namespace {

using Gruppo = ctlVevAre::EsitoGruppo;

// Each kind of outcome: its words in the summary, whether the group's period was committed,
// and whether the summary shows it in red.
struct TipoEsito {
    Gruppo::Esito esito;
    const char* testo;
    bool salvato;
    bool errore;
};
constexpr TipoEsito kTipi[] = {
    {Gruppo::Salvato, "salvato", true, false},
    {Gruppo::QuadraturaNonSuperata, "quadratura non superata", true, true},
    {Gruppo::NonSalvato, "non salvato", false, true},
    {Gruppo::NonImportato, "non importato", false, true},
    {Gruppo::QuadraturaNonVerificata, "quadratura non verificata", true, true},
    // The connection was lost while the group was being committed: it may be stored or not.
    {Gruppo::NonVerificabile, "esito del salvataggio non verificabile", false, true},
};

const TipoEsito& tipo(Gruppo::Esito esito)
{
    for (const TipoEsito& t : kTipi)
        if (t.esito == esito) return t;
    return kTipi[2];
}

}  // namespace

bool ctlVevAre::EsitoGruppo::salvato() const { return tipo(esito).salvato; }
bool ctlVevAre::EsitoGruppo::errore() const { return tipo(esito).errore; }
QString ctlVevAre::EsitoGruppo::testo() const { return QString::fromUtf8(tipo(esito).testo); }

QString DescrizioneGruppo(const ctlVevAre::EsitoGruppo& g)
{
    QString descrizione = g.ragioneSociale + QStringLiteral("  ") + MeseAnno(g.mese, g.anno);
    if (g.periodo > 0) descrizione += QStringLiteral("  periodo ") + QString::number(g.periodo);
    if (!g.motivo.isEmpty()) descrizione += QStringLiteral(" - ") + g.motivo;
    return descrizione;
}

// At the end of a run the log shows every group of the export: the log was cleared at
// each group, and a person must see at a glance which ones were not saved, and why.
void ctlVevAre::RiepilogoAutomatica()
{
    const EsitoAutomatica& run = m_EsitoAutomatica;
    if (run.esiti.isEmpty()) return;
    InsertLog(QString(), QStringLiteral("RIEPILOGO: gruppi salvati %1 su %2").arg(run.salvati).arg(run.gruppi), QString(), false, true);
    for (const EsitoGruppo& g : run.esiti) InsertLog(g.ditta, DescrizioneGruppo(g), g.testo(), g.errore(), true);
    if (!run.interruzione.isEmpty()) InsertLog(QString(), run.interruzione, QString(), true, true);
}
