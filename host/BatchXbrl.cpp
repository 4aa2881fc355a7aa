#include "control/ctlVevAre.h"
#include "host/Batch.h"
#include "host/BatchRun.h"
#include "xbrl/DocumentoXbrl.h"

int Batch::importaXbrl(CGlobal& global, const BatchOptions& options)
{
    BatchRun run(global, options);
    run.screen().ClickImportXBRL();
    run.flush();
    if (run.commits() > 0) return 0;

    // The screen ends silently on a file it cannot read: the command line says so.
    if (!options.file.isEmpty() && !DocumentoXbrl::leggibile(options.file))
        BatchRun::err(QStringLiteral("Impossibile leggere il file XBRL: %1").arg(options.file));
    else
        BatchRun::err(QStringLiteral("Importazione non salvata"));
    return 1;
}
