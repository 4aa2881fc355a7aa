#include "host/BatchRun.h"
#include "control/ctlVevAre.h"
#include "model/Provenienza.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/LogList.h"
#include <algorithm>
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
      m_ignotiBefore(global.Database().Connection().commitIgnoti()),
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
    global.App().setProperty(QStringLiteral("Origine"), Provenienza::RigaDiComando);
    m_screen->setCGlobal(&global);
    if (!options.workingFolder.isEmpty()) m_screen->m_WorkingFolder = options.workingFolder;
    if (m_prova) global.Database().Connection().iniziaProva();
}

BatchRun::~BatchRun()
{
    if (m_prova) m_global.Database().Connection().fineProva();
}

int BatchRun::commits() const { return m_global.Database().Connection().commits() - m_commitsBefore; }
int BatchRun::commitIgnoti() const { return m_global.Database().Connection().commitIgnoti() - m_ignotiBefore; }

namespace {

// A log text as one field of a printed row, in UTF-8: as it is, unless it holds what
// the field format escapes.
void campo(QByteArray& out, QAnyStringView testo)
{
    testo.visit([&out](auto v) {
        using Vista = decltype(v);
        const bool semplice = std::none_of(v.begin(), v.end(), [](auto c) {
            const char16_t u = char16_t(QChar(c).unicode());
            return u < 0x20 || u == 0x7F || u == u'\\';
        });
        if (!semplice) {
            out += BatchDialogs::inLinea(v.toString()).toUtf8();
        } else if constexpr (std::is_same_v<Vista, QLatin1StringView>) {
            // At most two bytes a character, written in place.
            const qsizetype prima = out.size();
            out.resize(prima + 2 * v.size());
            char* scrivi = out.data() + prima;
            for (const char c : v) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x80) {
                    *scrivi++ = char(b);
                } else {
                    *scrivi++ = char(0xC0 | (b >> 6));
                    *scrivi++ = char(0x80 | (b & 0x3F));
                }
            }
            out.resize(scrivi - out.constData());
        } else {
            out += v.toString().toUtf8();
        }
    });
}

}  // namespace

// The log rows not printed yet, with their flags read back from the list: an error row
// is red, a highlighted one green. A row with both flags shows as an error only, since
// the error colours cover the highlight.
// Rows go out in pieces of about a megabyte, each written and flushed once: a flush per
// row cost a system call per row. They are made in UTF-8 straight from the list's texts.
void BatchRun::flush()
{
    if (!m_screen) return;
    const LogList& log = *m_screen->lwLog;
    const QColor rosso(255, 0, 0), verde(0, 255, 0);
    constexpr qsizetype Blocco = 1 << 20;
    QByteArray righe;
    righe.reserve(Blocco + 4096);
    const auto scriviBlocco = [&] {
        std::fwrite(righe.constData(), 1, size_t(righe.size()), stdout);
        std::fflush(stdout);
        righe.resize(0);
    };
    for (int r = m_printed; r < log.rowCount(); ++r) {
        const QColor colore = log.color(r, 0);
        righe.append("LOG ", 4);
        for (int c = 0; c < 3; ++c) {
            campo(righe, log.textView(r, c));
            righe += '\t';
        }
        righe += colore == rosso ? 'E' : '-';
        righe += '\t';
        righe += colore == verde ? 'H' : '-';
        righe += '\n';
        if (righe.size() >= Blocco) scriviBlocco();
    }
    if (!righe.isEmpty()) scriviBlocco();
    m_printed = log.rowCount();
}
