#include "host/Batch.h"
#include "control/ctlVevAre.h"
#include "host/BatchDialogs.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"
#include <QLineEdit>
#include <cstdio>

namespace {

void scrivi(std::FILE* f, const QString& riga)
{
    std::fputs((riga + QLatin1Char('\n')).toUtf8().constData(), f);
    std::fflush(f);
}

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

QString campoLog(const QString& testo)
{
    QString s = BatchDialogs::inLinea(testo);
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return s;
}

// The log rows not printed yet, with their flags read back from the list: an error row
// is red, a highlighted one green. A row with both flags shows as an error only, since
// the error colours cover the highlight.
void stampaLog(const LogList& log, int& stampate)
{
    const QColor rosso(255, 0, 0), verde(0, 255, 0);
    if (log.rowCount() < stampate) stampate = 0;  // the list was cleared
    for (int r = stampate; r < log.rowCount(); ++r) {
        const QColor colore = log.color(r, 0);
        scrivi(stdout, QStringLiteral("LOG ") + campoLog(log.text(r, 0)) + QLatin1Char('\t') + campoLog(log.text(r, 1)) +
                           QLatin1Char('\t') + campoLog(log.text(r, 2)) + QLatin1Char('\t') +
                           (colore == rosso ? QLatin1Char('E') : QLatin1Char('-')) + QLatin1Char('\t') +
                           (colore == verde ? QLatin1Char('H') : QLatin1Char('-')));
    }
    stampate = log.rowCount();
}

// The period the import wrote exists once the import committed.
bool periodoRegistrato(CGlobal& global, const ctlVevAre& screen)
{
    if (screen.m_Periodo < 1 || screen.m_Mese < 1) return false;
    const QString n = global.Utility().LeggiCampo(
        QStringLiteral("QD21_PERVALUTA"), QStringLiteral("Count(*)"),
        QStringLiteral(" WHERE QD21_CODICEDITTA_QD05=") + StringaSQL(ApiciSQL(screen.m_CodiceDitta)) +
            QStringLiteral(" AND QD21_ANNO=") + StringaSQL(ApiciSQL(screen.m_Anno)) + QStringLiteral(" AND QD21_MESE=") +
            QString::number(screen.m_Mese) + QStringLiteral(" AND QD21_NPERIODO = ") + QString::number(screen.m_Periodo));
    return vb::Val(n) > 0;
}

}  // namespace

int Batch::save(CGlobal& global, const BatchOptions& options)
{
    // Boxes and log rows come out in the order they happened.
    const ctlVevAre* schermo = nullptr;
    int stampate = 0;
    BatchDialogs dialogs(options.answerYes, options.inputs, [&](const QString& riga) {
        if (schermo) stampaLog(*schermo->lwLog, stampate);
        scrivi(stdout, riga);
    });
    ctlVevAre screen(dialogs);
    schermo = &screen;
    screen.setCGlobal(&global);
    if (!options.workingFolder.isEmpty()) screen.m_WorkingFolder = options.workingFolder;

    screen.ClickNew();
    const int ditta = voce(*screen.cmbDitte, options.company);
    if (ditta < 0) {
        scrivi(stderr, QStringLiteral("Ditta non trovata: \"%1\"").arg(options.company));
        return 2;
    }
    screen.cmbDitte->choose(ditta);
    if (options.year.isEmpty()) {
        scrivi(stderr, QStringLiteral("Anno non indicato"));
        return 2;
    }
    screen.cmbAnni->setText(options.year);
    if (screen.cmbMesi->ListCount() == 0) {
        // The company cannot be imported: the box above said why.
        scrivi(stderr, QStringLiteral("Nessun mese selezionabile per la ditta \"%1\"").arg(options.company));
        return 2;
    }
    const int mese = voce(*screen.cmbMesi, options.month);
    if (mese < 0) {
        scrivi(stderr, QStringLiteral("Mese non trovato: \"%1\" (Gennaio ... Dicembre)").arg(options.month));
        return 2;
    }
    screen.cmbMesi->choose(mese);
    if (options.rateSet) screen.txtCambio->setText(options.rate);

    screen.ClickOk();
    stampaLog(*screen.lwLog, stampate);

    const bool salvato = !dialogs.criticalShown() && !global.Database().Connection().inTransaction() &&
                         periodoRegistrato(global, screen);
    if (!salvato) scrivi(stderr, QStringLiteral("Importazione non salvata"));
    return salvato ? 0 : 1;
}
