#pragma once
#include "platform/ui/Dialogs.h"
#include <QStringList>
#include <functional>

// The boxes of a run without a window: every Yes/No question gets the same answer,
// every input box the next of the given texts (the empty text when none is left), and
// each box is printed as one line: "BOX <icon> <title> | <text> -> <answer>".
class BatchDialogs : public Dialogs {
public:
    using Stampa = std::function<void(const QString&)>;

    BatchDialogs(bool answerYes, QStringList inputs, Stampa stampa);

    int MsgBox(const QString& prompt, int flags, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QString OpenFile(const QString& title, const QString& filter, const QString& folder) override;
    // The answer is printed with how it was understood: "-> 1.05 (letto come 1,05)".
    QString InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer, const Lettura& lettura) override;

    void setFileAnswer(const QString& file) { m_file = file; }

    // Control characters and the backslash written escaped (a line break as \n, a tab
    // as \t, NUL as \0, a backslash as \\), so that a box or a log row stays one record
    // on one line.
    static QString inLinea(const QString& text);

private:
    void stampa(const QString& icon, const QString& title, const QString& text, const QString& answer);

    bool m_answerYes;
    QStringList m_inputs;
    Stampa m_stampa;
    QString m_file;
};
