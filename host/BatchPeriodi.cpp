#include "host/Batch.h"
#include "host/BatchDialogs.h"
#include "host/BatchRun.h"
#include "host/Periodi.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/AppError.h"
#include <QDir>

namespace {

// The period the options name, or the exit code 2 with the reason on standard error.
int scegli(CGlobal& global, const BatchOptions& o, PeriodoArchiviato& scelto)
{
    Connection& c = global.Database().Connection();
    global.App().setProperty(QStringLiteral("Origine"), Provenienza::RigaDiComando);
    const auto rifiuta = [](const QString& motivo) {
        BatchRun::err(motivo);
        return 2;
    };
    if (o.company.isEmpty() || o.year.isEmpty() || o.month.isEmpty() || o.period.isEmpty())
        return rifiuta(QStringLiteral("Indicare --company, --year, --month e --period."));
    const QString ditta = Periodi::codiceDitta(c, o.company);
    if (ditta.isEmpty()) return rifiuta(QStringLiteral("Ditta non trovata: \"%1\"").arg(o.company));
    // The month by its Italian name, as --save takes it, or by its number.
    bool numero = false;
    int mese = o.month.trimmed().toInt(&numero);
    for (qint16 m = 1; !numero && m <= 12; ++m)
        if (Periodi::nomeMese(m).compare(o.month.trimmed(), Qt::CaseInsensitive) == 0) mese = m;
    if (mese < 1 || mese > 12)
        return rifiuta(QStringLiteral("Mese non trovato: \"%1\" (Gennaio ... Dicembre, o da 1 a 12)").arg(o.month));
    const int periodo = o.period.trimmed().toInt(&numero);
    if (!numero || periodo < 1 || periodo > 32767) return rifiuta(QStringLiteral("Periodo non valido: \"%1\"").arg(o.period));
    const std::optional<PeriodoArchiviato> p = Periodi::trova(c, {ditta, o.year, qint16(mese), qint16(periodo)});
    if (!p)
        return rifiuta(QStringLiteral("Periodo non trovato: ditta \"%1\", %2/%3, periodo %4")
                           .arg(o.company, Periodi::nomeMese(qint16(mese)), o.year)
                           .arg(periodo));
    scelto = *p;
    return 0;
}

QString chiave(const PeriodoArchiviato& p)
{
    return BatchDialogs::inLinea(p.chiave.ditta) + QLatin1Char('\t') + p.chiave.anno + QLatin1Char('\t') +
           QString::number(p.chiave.mese) + QLatin1Char('\t') + QString::number(p.chiave.periodo);
}

}  // namespace

int Batch::elencaPeriodi(CGlobal& global, const BatchOptions& options)
{
    Connection& c = global.Database().Connection();
    QString ditta;
    if (!options.company.isEmpty()) {
        ditta = Periodi::codiceDitta(c, options.company);
        if (ditta.isEmpty()) {
            BatchRun::err(QStringLiteral("Ditta non trovata: \"%1\"").arg(options.company));
            return 2;
        }
    }
    const QList<PeriodoArchiviato> periodi = Periodi::elenco(c, ditta, options.year);
    for (const PeriodoArchiviato& p : periodi) BatchRun::out(Periodi::rigaComandi(p));
    if (periodi.isEmpty()) BatchRun::err(QStringLiteral("Nessun periodo importato"));
    return periodi.isEmpty() ? 1 : 0;
}

int Batch::eliminaPeriodo(CGlobal& global, const BatchOptions& options)
{
    PeriodoArchiviato p;
    if (const int esito = scegli(global, options, p)) return esito;
    Connection& c = global.Database().Connection();
    // A trial deletes inside a transaction that is then undone.
    if (options.prova) c.iniziaProva();
    try {
        const qint64 valori = Periodi::elimina(global, p);
        if (options.prova) c.fineProva();
        BatchRun::out((options.prova ? QStringLiteral("PROVA ") : QStringLiteral("ELIMINATO ")) + chiave(p) + QLatin1Char('\t') +
                      QString::number(valori));
        return 0;
    } catch (...) {
        if (options.prova) c.fineProva();
        BatchRun::err(QStringLiteral("Periodo non eliminato: ") + AppError::fromCurrent().description());
        return 1;
    }
}

int Batch::esportaPeriodo(CGlobal& global, const BatchOptions& options, const QString& file)
{
    PeriodoArchiviato p;
    if (const int esito = scegli(global, options, p)) return esito;
    try {
        const qint64 valori = Periodi::esporta(global.Database().Connection(), p.chiave, file);
        BatchRun::out(QStringLiteral("ESPORTATO ") + BatchDialogs::inLinea(QDir::toNativeSeparators(file)) + QLatin1Char('\t') +
                      QString::number(valori));
        return 0;
    } catch (const AppError& e) {
        BatchRun::err(e.description());
        return 1;
    }
}
