#include "host/BatchDialogs.h"

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
    if ((flags & 0x70) == vb::vbCritical) m_critical = true;
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

QString BatchDialogs::OpenFile(const QString& title, const QString& filter, const QString&)
{
    // Nobody is there to choose a file: the dialog counts as cancelled.
    stampa(QStringLiteral("file"), title, filter, QString());
    return QString();
}

QString BatchDialogs::inLinea(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    return s;
}

void BatchDialogs::stampa(const QString& icon, const QString& title, const QString& text, const QString& answer)
{
    if (m_stampa)
        m_stampa(QStringLiteral("BOX ") + icon + QLatin1Char(' ') + inLinea(title) + QStringLiteral(" | ") + inLinea(text) +
                 QStringLiteral(" -> ") + inLinea(answer));
}
