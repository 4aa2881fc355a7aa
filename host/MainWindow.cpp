#include "host/MainWindow.h"
#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include <QCloseEvent>

MainWindow::MainWindow(CGlobal& global, QWidget* parent)
    : QMainWindow(parent), m_dialogs(std::make_unique<QtDialogs>(this))
{
    setWindowTitle(QStringLiteral("Importazione valori PDC"));
    m_screen = new ctlVevAre(*m_dialogs, this);
    setCentralWidget(m_screen);
    m_screen->setCGlobal(&global);
    connect(m_screen, SIGNAL(ExitControl()), this, SLOT(close()));
    connect(m_screen, &ctlVevAre::ImportazioneConclusa, this, [this] {
        if (m_chiudiAlTermine) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    const int twipsPerPixel = 15;
    setMinimumSize(QSize(m_screen->MinWidth() / twipsPerPixel, m_screen->MinHeight() / twipsPerPixel)
                       .expandedTo(m_screen->minimumSizeHint()));
    resize(QSize(960, 640).expandedTo(minimumSize()));
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_screen->ImportazioneInCorso()) {
        m_chiudiAlTermine = m_screen->ChiediInterruzione();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
