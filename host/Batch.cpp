#include "host/Batch.h"
#include "control/ctlVevAre.h"
#include "host/BatchDialogs.h"
#include "host/BatchRun.h"
#include "platform/ui/ListControl.h"
#include <QLineEdit>
#include <algorithm>

namespace {

// The entry of the list with this text: exactly, else without regard to case.
int voce(const ListControl& lista, const QString& testo)
{
    if (testo.isEmpty()) return -1;
    const int esatta = lista.findText(testo, Qt::MatchExactly);
    if (esatta >= 0) return esatta;
    for (int i = 0; i < lista.ListCount(); ++i)
        if (lista.List(i).compare(testo, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

}  // namespace

int Batch::save(CGlobal& global, const BatchOptions& options)
{
    BatchRun run(global, options);
    ctlVevAre& screen = run.screen();

    screen.ClickNew();
    const int ditta = voce(*screen.cmbDitte, options.company);
    if (ditta < 0) {
        BatchRun::err(QStringLiteral("Ditta non trovata: \"%1\"").arg(options.company));
        return 2;
    }
    screen.cmbDitte->choose(ditta);
    if (options.year.isEmpty()) {
        BatchRun::err(QStringLiteral("Anno non indicato"));
        return 2;
    }
    screen.cmbAnni->setText(options.year);
    if (screen.cmbMesi->ListCount() == 0) {
        // The company cannot be imported: the box above said why.
        BatchRun::err(QStringLiteral("Nessun mese selezionabile per la ditta \"%1\"").arg(options.company));
        return 2;
    }
    const int mese = voce(*screen.cmbMesi, options.month);
    if (mese < 0) {
        BatchRun::err(QStringLiteral("Mese non trovato: \"%1\" (Gennaio ... Dicembre)").arg(options.month));
        return 2;
    }
    screen.cmbMesi->choose(mese);
    if (options.rateSet) screen.txtCambio->setText(options.rate);

    screen.ClickOk();
    run.flush();

    // Only the import's own commit says that the database holds the period: boxes shown
    // on the way (a bad cut, a failed balance check) change nothing about that.
    if (run.commits() == 0) {
        // Stored or not, nobody knows: not "not saved", which a re-run would duplicate.
        if (run.commitIgnoti() > 0) {
            BatchRun::err(BatchDialogs::inLinea(screen.m_ErroreImportazione));
            return 3;
        }
        BatchRun::err(QStringLiteral("Importazione non salvata"));
        return 1;
    }
    return 0;
}

int Batch::importaEsportazione(CGlobal& global, const BatchOptions& options, bool cee)
{
    BatchRun run(global, options);
    ctlVevAre& screen = run.screen();
    if (cee) screen.ClickImportCEE();
    else screen.ClickImport();
    run.flush();
    const auto& esito = screen.m_EsitoAutomatica;
    if (esito.completata && esito.gruppi > 0 && esito.salvati == esito.gruppi) return 0;
    const QString quanti = QStringLiteral("%1 gruppi salvati su %2").arg(esito.salvati).arg(esito.gruppi);
    BatchRun::err(esito.completata ? QStringLiteral("Importazione non salvata per tutti i gruppi: ") + quanti
                                   : (esito.interruzione.isEmpty() ? QStringLiteral("Importazione non eseguita") : esito.interruzione) +
                                         QStringLiteral(" (") + quanti + QLatin1Char(')'));
    const bool ignoti = std::any_of(esito.esiti.cbegin(), esito.esiti.cend(),
                                    [](const ctlVevAre::EsitoGruppo& g) { return g.esito == ctlVevAre::EsitoGruppo::NonVerificabile; });
    return esito.salvati == 0 && !ignoti ? 1 : 3;
}
