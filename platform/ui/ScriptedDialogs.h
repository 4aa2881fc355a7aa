#pragma once
#include "platform/ui/Dialogs.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Boxes answered from a queue, every box recorded. A box that finds no answer
// queued (or of the wrong kind) is counted as unexpected and gets the neutral
// answer (OK / No / empty text), so a test can fail on it without blocking. Windows
// (a print preview, the program's own) are recorded by their title and never shown;
// a preview's pages are drawn all the same.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Input, File, Window };
    struct Box {
        Kind kind;
        QString text;   // prompt
        QString title;
        int flags = 0;  // message boxes: buttons, icon, default button
        QString defaultAnswer;  // file dialogs: the folder or file proposed
        QString answer;  // what the script answered
        QString lettura; // input boxes that show it: how the answer was understood
    };

    // Queue answers in the order the boxes will appear.
    ScriptedDialogs& answerMessage(int result);
    ScriptedDialogs& answerInput(const QString& text);
    ScriptedDialogs& answerFile(const QString& path);

    int MsgBox(const QString& prompt, int flags, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QString OpenFile(const QString& title, const QString& filter, const QString& folder) override;
    QString InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer, const Lettura& lettura) override;
    void Anteprima(QPrinter& stampante, const QString& title, const Disegno& disegna) override;
    void Mostra(QDialog& finestra) override;

    // Runs after each box has its answer, as the user acting while a run waits on it.
    void setOnShown(std::function<void(const Box&)> azione) { m_onShown = std::move(azione); }

    const QList<Box>& shown() const { return m_shown; }
    const QStringList& unexpected() const { return m_unexpected; }
    int pending() const { return int(m_queue.size()); }
    void clear();

private:
    struct Answer {
        Kind kind;
        int result = 0;
        QString text;
    };
    bool take(Kind kind, Answer& out, const QString& what);

    QList<Answer> m_queue;
    QList<Box> m_shown;
    QStringList m_unexpected;
    std::function<void(const Box&)> m_onShown;
};
