#include "host/MainWindow.h"
#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"

MainWindow::MainWindow(CGlobal& global, QWidget* parent)
    : QMainWindow(parent), m_dialogs(std::make_unique<QtDialogs>(this))
{
    setWindowTitle(QStringLiteral("Importazione valori PDC"));
    m_screen = new ctlVevAre(*m_dialogs, this);
    setCentralWidget(m_screen);
    m_screen->setCGlobal(&global);
    connect(m_screen, SIGNAL(ExitControl()), this, SLOT(close()));
    const int twipsPerPixel = 15;
    setMinimumSize(m_screen->MinWidth() / twipsPerPixel, m_screen->MinHeight() / twipsPerPixel);
    resize(960, 640);
}

MainWindow::~MainWindow() = default;
