#include "host/BatchRun.h"
#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/LogList.h"
#include <cstdio>

namespace {

void scrivi(std::FILE* f, const QString& riga)
{
    std::fputs((riga + QLatin1Char('\n')).toUtf8().constData(), f);
    std::fflush(f);
}

}  // namespace

void BatchRun::out(const QString& line) { scrivi(stdout, line); }
void BatchRun::err(const QString& line) { scrivi(stderr, line); }

BatchRun::BatchRun(CGlobal& global, const BatchOptions& options)
    : m_global(global),
      m_commitsBefore(global.Database().Connection().commits()),
      m_prova(options.prova),
      m_dialogs(options.answerYes, options.inputs, [this](const QString& riga) {
          flush();
          out(riga);
      })
{
    if (!options.file.isEmpty()) m_dialogs.setFileAnswer(options.file);
    m_screen = std::make_unique<ctlVevAre>(m_dialogs);
    // Rows of a cleared log are printed before they go.
    QObject::connect(m_screen->lwLog, &LogList::aboutToClear, m_screen.get(), [this] {
        flush();
        m_printed = 0;
    });
    // Each committed period is reported as it happens: a script knows what the database holds.
    QObject::connect(m_screen.get(), &ctlVevAre::ImportazioneSalvata, m_screen.get(),
                     [this](const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) {
                         flush();
                         out((m_prova ? QStringLiteral("PROVA ") : QStringLiteral("SALVATO ")) + BatchDialogs::inLinea(ditta) + QLatin1Char('\t') + anno +
                             QLatin1Char('\t') + QString::number(mese) + QLatin1Char('\t') + QString::number(periodo));
                     });
    m_screen->setCGlobal(&global);
    if (!options.workingFolder.isEmpty()) m_screen->m_WorkingFolder = options.workingFolder;
    if (m_prova) global.Database().Connection().iniziaProva();
}

BatchRun::~BatchRun()
{
    if (m_prova) m_global.Database().Connection().fineProva();
}

int BatchRun::commits() const { return m_global.Database().Connection().commits() - m_commitsBefore; }

// The log rows not printed yet, with their flags read back from the list: an error row
// is red, a highlighted one green. A row with both flags shows as an error only, since
// the error colours cover the highlight.
// Rows go out in pieces of about a megabyte, each written and flushed once: a flush per
// row cost a system call per row.
void BatchRun::flush()
{
    if (!m_screen) return;
    const LogList& log = *m_screen->lwLog;
    const QColor rosso(255, 0, 0), verde(0, 255, 0);
    constexpr qsizetype Blocco = 1 << 20;
    QString righe;
    righe.reserve(Blocco + 4096);
    QByteArray testo;
    const auto scriviBlocco = [&] {
        testo = righe.toUtf8();
        std::fwrite(testo.constData(), 1, size_t(testo.size()), stdout);
        std::fflush(stdout);
        righe.resize(0);
    };
    for (int r = m_printed; r < log.rowCount(); ++r) {
        const QColor colore = log.color(r, 0);
        // Appended piece by piece: no temporary string per row.
        righe += QLatin1String("LOG ");
        for (int c = 0; c < 3; ++c) {
            righe += BatchDialogs::inLinea(log.text(r, c));
            righe += QLatin1Char('\t');
        }
        righe += colore == rosso ? QLatin1Char('E') : QLatin1Char('-');
        righe += QLatin1Char('\t');
        righe += colore == verde ? QLatin1Char('H') : QLatin1Char('-');
        righe += QLatin1Char('\n');
        if (righe.size() >= Blocco) scriviBlocco();
    }
    if (!righe.isEmpty()) scriviBlocco();
    m_printed = log.rowCount();
}
