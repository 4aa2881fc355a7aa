#pragma once
#include "platform/ui/Dialogs.h"
#include <QMainWindow>
#include <memory>

class CGlobal;
class ctlVevAre;
class QAction;

// The host window: embeds the screen, hands it the services and closes on ExitControl.
// Its own tool "Periodi importati" shows what the imports stored.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Boxes go through the dialogs given, or the real ones.
    MainWindow(CGlobal& global, QWidget* parent = nullptr, std::unique_ptr<Dialogs> dialogs = {});
    ~MainWindow() override;
    ctlVevAre* screen() const { return m_screen; }
    QAction* azionePeriodi() const { return m_periodi; }
    // "Periodi importati": not while an import runs.
    void PeriodiImportati();

protected:
    // During an import the window asks whether to stop it, and closes when it has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_chiudiAlTermine = false;
    CGlobal& m_global;
    std::unique_ptr<Dialogs> m_dialogs;
    ctlVevAre* m_screen = nullptr;
    QAction* m_periodi = nullptr;
};
