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

    // A box with the critical icon was shown: something failed.
    bool criticalShown() const { return m_critical; }

    // Line breaks written as "\n", so that a box or a log row stays on one line.
    static QString inLinea(const QString& text);

private:
    void stampa(const QString& icon, const QString& title, const QString& text, const QString& answer);

    bool m_answerYes;
    QStringList m_inputs;
    Stampa m_stampa;
    bool m_critical = false;
};
