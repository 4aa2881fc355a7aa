#include "control/ctlVevAre.h"
#include "host/Batch.h"
#include "host/BatchRun.h"
#include "xbrl/LottoXbrl.h"

int Batch::importaXbrl(CGlobal& global, const BatchOptions& options)
{
    QSet<QString> nonRegolari;
    const QStringList files = fileXbrl(options.files.isEmpty() ? QStringList{options.file} : options.files, &nonRegolari);
    if (files.isEmpty()) {
        BatchRun::err(QStringLiteral("Nessun file XBRL da importare"));
        return 1;
    }
    BatchRun run(global, options);
    qsizetype salvati = 0, ignoti = 0;
    importaFileXbrl(run.screen(), files, [&](const EsitoXbrl& e) {
        run.flush();
        salvati += e.salvata ? 1 : 0;
        ignoti += e.ignoto ? 1 : 0;
        const QString esito = e.salvata  ? (options.prova ? QStringLiteral("PROVA") : QStringLiteral("SALVATO"))
                              : e.ignoto ? QStringLiteral("NON VERIFICABILE: ") + BatchDialogs::inLinea(e.motivo)
                                         : QStringLiteral("NON SALVATO: ") + BatchDialogs::inLinea(e.motivo);
        BatchRun::out(QStringLiteral("FILE ") + BatchDialogs::inLinea(e.file) + QLatin1Char('\t') + BatchDialogs::inLinea(e.ditta) +
                      QLatin1Char('\t') + e.anni.join(QLatin1Char(',')) + QLatin1Char('\t') + esito);
        if (!e.salvata)
            BatchRun::err(QStringLiteral("Importazione non salvata: %1 (%2)").arg(BatchDialogs::inLinea(e.file), BatchDialogs::inLinea(e.motivo)));
    }, nonRegolari);
    run.flush();
    // As the automatic imports: 0 all saved, 1 none, 3 some (or some whose outcome is unknown).
    if (salvati == files.size()) return 0;
    return salvati == 0 && ignoti == 0 ? 1 : 3;
}
