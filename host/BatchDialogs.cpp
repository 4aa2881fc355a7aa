#include "host/BatchDialogs.h"
#include <algorithm>

namespace {
QString icona(int flags)
{
    switch (flags & 0x70) {
    case vb::vbCritical: return QStringLiteral("critical");
    case vb::vbQuestion: return QStringLiteral("question");
    case vb::vbExclamation: return QStringLiteral("exclamation");
    case vb::vbInformation: return QStringLiteral("information");
    default: return QStringLiteral("none");
    }
}
}  // namespace

BatchDialogs::BatchDialogs(bool answerYes, QStringList inputs, Stampa stampa)
    : m_answerYes(answerYes), m_inputs(std::move(inputs)), m_stampa(std::move(stampa))
{
}

int BatchDialogs::MsgBox(const QString& prompt, int flags, const QString& title)
{
    const bool yesNo = (flags & 0x0F) == vb::vbYesNo;
    const int answer = !yesNo ? vb::vbOK : m_answerYes ? vb::vbYes : vb::vbNo;
    stampa(icona(flags), title, prompt,
           answer == vb::vbOK ? QStringLiteral("ok") : answer == vb::vbYes ? QStringLiteral("yes") : QStringLiteral("no"));
    return answer;
}

QString BatchDialogs::InputBox(const QString& prompt, const QString& title, const QString&)
{
    const QString answer = m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
    stampa(QStringLiteral("input"), title, prompt, answer);
    return answer;
}

QString BatchDialogs::InputLetto(const QString& prompt, const QString& title, const QString&, const Lettura& lettura)
{
    const QString answer = m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
    const QString letto = lettura ? lettura(answer) : QString();
    stampa(QStringLiteral("input"), title, prompt, letto.isEmpty() ? answer : answer + QStringLiteral(" (") + letto + QLatin1Char(')'));
    return answer;
}

QString BatchDialogs::OpenFile(const QString& title, const QString& filter, const QString&)
{
    // The file named on the command line; without one the dialog counts as cancelled.
    stampa(QStringLiteral("file"), title, filter, m_file);
    return m_file;
}

QString BatchDialogs::inLinea(const QString& text)
{
    // Most texts hold nothing to escape: they go out as they are, without a copy.
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'\\'; }))
        return text;
    QString s;
    s.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\': s += QLatin1String("\\\\"); break;
        case u'\t': s += QLatin1String("\\t"); break;
        case u'\n': s += QLatin1String("\\n"); break;
        case u'\0': s += QLatin1String("\\0"); break;
        case u'\r':
            // The line break of the boxes' texts, CR LF, is one break.
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
                s += QLatin1String("\\n");
                ++i;
            } else {
                s += QLatin1String("\\r");
            }
            break;
        default:
            if (c < 0x20 || c == 0x7F) s += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
            else s += text[i];
        }
    }
    return s;
}

void BatchDialogs::stampa(const QString& icon, const QString& title, const QString& text, const QString& answer)
{
    if (m_stampa)
        m_stampa(QStringLiteral("BOX ") + icon + QLatin1Char(' ') + inLinea(title) + QStringLiteral(" | ") + inLinea(text) +
                 QStringLiteral(" -> ") + inLinea(answer));
}
