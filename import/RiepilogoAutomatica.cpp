#include "import/RiepilogoAutomatica.h"
#include "control/ctlVevAre.h"

QString MeseAnno(qint16 mese, qint16 anno) { return QString::number(mese) + QLatin1Char('/') + QString::number(anno); }

bool DiscoPieno(const QString& errore)
{
    for (const char* testo : {"database or disk is full", "No space left on device", "could not extend file", "disk full"})
        if (errore.contains(QLatin1String(testo), Qt::CaseInsensitive)) return true;
    return false;
}

// At the end of a run the log shows every group met: the log was cleared at each group,
// and a person must see at a glance which ones were not saved.
void ctlVevAre::RiepilogoAutomatica(bool discoPieno)
{
    const EsitoAutomatica& run = m_EsitoAutomatica;
    if (run.esiti.isEmpty()) return;
    InsertLog(QString(), QStringLiteral("RIEPILOGO: gruppi salvati %1 su %2").arg(run.salvati).arg(run.gruppi), QString(), false, true);
    for (const EsitoGruppo& g : run.esiti) {
        QString descrizione = g.ragioneSociale + QStringLiteral("  ") + MeseAnno(g.mese, g.anno);
        if (g.periodo > 0) descrizione += QStringLiteral("  periodo ") + QString::number(g.periodo);
        if (!g.motivo.isEmpty()) descrizione += QStringLiteral(" - ") + g.motivo;
        const QString esito = g.esito == EsitoGruppo::Salvato                   ? QStringLiteral("salvato")
                              : g.esito == EsitoGruppo::QuadraturaNonSuperata   ? QStringLiteral("quadratura non superata")
                              : g.esito == EsitoGruppo::QuadraturaNonVerificata ? QStringLiteral("quadratura non verificata")
                                                                                : QStringLiteral("non salvato");
        InsertLog(g.ditta, descrizione, esito, g.esito != EsitoGruppo::Salvato, true);
    }
    if (discoPieno)
        InsertLog(QString(), QStringLiteral("Importazione interrotta: spazio su disco esaurito"), QString(), true, true);
}
