#pragma once
#include <QMainWindow>
#include <memory>

class CGlobal;
class ctlVevAre;
class QtDialogs;

// The host window: embeds the screen, hands it the services and closes on ExitControl.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(CGlobal& global, QWidget* parent = nullptr);
    ~MainWindow() override;
    ctlVevAre* screen() const { return m_screen; }

protected:
    // During an import the window asks whether to stop it, and closes when it has ended.
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_chiudiAlTermine = false;
    std::unique_ptr<QtDialogs> m_dialogs;
    ctlVevAre* m_screen = nullptr;
};
