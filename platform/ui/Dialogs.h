#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Flags and answers of the modal message box, with the platform's values.
namespace vb {
enum MsgBoxFlag {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };
}  // namespace vb

class QDialog;
class QPrinter;
class QWidget;

// Every modal box of the screen goes through this interface, so that tests can
// answer the boxes from a script and never block.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Message box; flags combine buttons, icon and default button. Returns the answer.
    virtual int MsgBox(const QString& prompt, int flags, const QString& title) = 0;
    // Input box; a cancelled box gives the empty text.
    virtual QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;
    // File-open dialog; a cancelled dialog gives the empty text.
    virtual QString OpenFile(const QString& title, const QString& filter, const QString& folder) = 0;
    // File-open dialog choosing several files; none when cancelled. Without a dialog of
    // its own, the answer of OpenFile, one path a line.
    virtual QStringList OpenFiles(const QString& title, const QString& filter, const QString& folder);
    // File-save dialog proposing a file; a cancelled dialog gives the empty text. Without
    // a dialog of its own, the answer of OpenFile.
    virtual QString SaveFile(const QString& title, const QString& filter, const QString& proposta)
    {
        return OpenFile(title, filter, proposta);
    }

    // How a typed text is understood, in words for the person typing it.
    using Lettura = std::function<QString(const QString&)>;
    // Input box that shows, beside its text box, how the text typed is understood (a
    // number, say). Without a way to show it, a plain input box.
    virtual QString InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer, const Lettura&)
    {
        return InputBox(prompt, title, defaultAnswer);
    }

    // Print preview of the pages `disegna` draws on the printer it is given. Without a
    // preview of its own, nothing is shown.
    using Disegno = std::function<void(QPrinter*)>;
    virtual void Anteprima(QPrinter&, const QString& /*title*/, const Disegno&) {}
    // A window of the program's own, shown modally until it is closed; without a window
    // system, not shown.
    virtual void Mostra(QDialog&) {}
};

// The real boxes, modal to the given parent window.
class QtDialogs : public Dialogs {
public:
    // Width of the file dialog and of its name column, in pixels.
    static constexpr int LarghezzaDialogoFile = 900;
    static constexpr int LarghezzaNomeFile = 460;

    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    int MsgBox(const QString& prompt, int flags, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QString OpenFile(const QString& title, const QString& filter, const QString& folder) override;
    QStringList OpenFiles(const QString& title, const QString& filter, const QString& folder) override;
    QString SaveFile(const QString& title, const QString& filter, const QString& proposta) override;
    QString InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer, const Lettura& lettura) override;
    void Anteprima(QPrinter& stampante, const QString& title, const Disegno& disegna) override;
    void Mostra(QDialog& finestra) override;

private:
    QWidget* m_parent;
};
