#include "platform/ui/ScriptedDialogs.h"
#include <QDialog>
#include <QPrinter>
#include <QTemporaryDir>

ScriptedDialogs& ScriptedDialogs::answerMessage(int result)
{
    m_queue.append({Kind::Message, result, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerInput(const QString& text)
{
    m_queue.append({Kind::Input, 0, text});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFile(const QString& path)
{
    m_queue.append({Kind::File, 0, path});
    return *this;
}

bool ScriptedDialogs::take(Kind kind, Answer& out, const QString& what)
{
    if (m_queue.isEmpty() || m_queue.first().kind != kind) {
        m_unexpected << what;
        return false;
    }
    out = m_queue.takeFirst();
    return true;
}

int ScriptedDialogs::MsgBox(const QString& prompt, int flags, const QString& title)
{
    const bool yesNo = (flags & 0x0F) == vb::vbYesNo;
    Answer a;
    // Boxes with only an OK button need no scripted answer.
    const bool answered = yesNo ? take(Kind::Message, a, title + QStringLiteral(" | ") + prompt)
                                : (!m_queue.isEmpty() && m_queue.first().kind == Kind::Message && m_queue.first().result == vb::vbOK
                                       ? (a = m_queue.takeFirst(), true)
                                       : false);
    const int result = yesNo ? (answered ? a.result : vb::vbNo) : vb::vbOK;
    m_shown.append({Kind::Message, prompt, title, flags, {}, QString::number(result), {}});
    if (m_onShown) m_onShown(Box(m_shown.last()));
    return result;
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    Answer a;
    const QString answer = take(Kind::Input, a, title + QStringLiteral(" | ") + prompt) ? a.text : QString();
    m_shown.append({Kind::Input, prompt, title, 0, defaultAnswer, answer, {}});
    if (m_onShown) m_onShown(Box(m_shown.last()));
    return answer;
}

QString ScriptedDialogs::InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer,
                                    const Lettura& lettura)
{
    const QString answer = InputBox(prompt, title, defaultAnswer);
    if (lettura) m_shown.last().lettura = lettura(answer);
    return answer;
}

QString ScriptedDialogs::OpenFile(const QString& title, const QString& filter, const QString& folder)
{
    Answer a;
    const QString answer = take(Kind::File, a, title) ? a.text : QString();
    m_shown.append({Kind::File, filter, title, 0, folder, answer, {}});
    return answer;
}

void ScriptedDialogs::Anteprima(QPrinter& stampante, const QString& title, const Disegno& disegna)
{
    // Drawn as the preview draws them, into a file nobody reads.
    QTemporaryDir cartella;
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setOutputFileName(cartella.filePath(QStringLiteral("anteprima.pdf")));
    disegna(&stampante);
    m_shown.append({Kind::Window, {}, title, 0, {}, {}, {}});
    if (m_onShown) m_onShown(Box(m_shown.last()));
}

void ScriptedDialogs::Mostra(QDialog& finestra)
{
    m_shown.append({Kind::Window, {}, finestra.windowTitle(), 0, {}, {}, {}});
    if (m_onShown) m_onShown(Box(m_shown.last()));
}

void ScriptedDialogs::clear()
{
    m_onShown = nullptr;
    m_queue.clear();
    m_shown.clear();
    m_unexpected.clear();
}
