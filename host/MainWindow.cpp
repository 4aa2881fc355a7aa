#include "host/MainWindow.h"
#include "control/ctlVevAre.h"
#include "host/FinestraPeriodi.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include <QAction>
#include <QCloseEvent>
#include <QStyle>
#include <QToolBar>

MainWindow::MainWindow(CGlobal& global, QWidget* parent, std::unique_ptr<Dialogs> dialogs)
    : QMainWindow(parent), m_global(global), m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>(this))
{
    setWindowTitle(QStringLiteral("Importazione valori PDC"));
    global.App().setProperty(QStringLiteral("Origine"), Provenienza::Finestra);
    auto* archivio = addToolBar(QStringLiteral("Archivio"));
    archivio->setObjectName(QStringLiteral("tbArchivio"));
    archivio->setMovable(false);
    archivio->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    archivio->setIconSize(QSize(16, 16));
    m_periodi = archivio->addAction(QIcon::fromTheme(QStringLiteral("view-list-details"), style()->standardIcon(QStyle::SP_FileDialogListView)),
                                    QStringLiteral("Periodi importati"));
    m_periodi->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    m_periodi->setToolTip(m_periodi->text() + QStringLiteral(" (") + m_periodi->shortcut().toString(QKeySequence::NativeText) +
                          QLatin1Char(')'));
    connect(m_periodi, &QAction::triggered, this, &MainWindow::PeriodiImportati);
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

void MainWindow::PeriodiImportati()
{
    // A run in progress holds its transaction open on the same connection.
    if (m_screen->ImportazioneInCorso()) {
        m_dialogs->MsgBox(QStringLiteral("È in corso un'importazione: i periodi importati si possono vedere al suo termine."),
                          vb::vbExclamation, windowTitle());
        return;
    }
    FinestraPeriodi finestra(m_global, *m_dialogs, [this] { return m_screen->ImportazioneInCorso(); }, this);
    m_dialogs->Mostra(finestra);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_screen->ImportazioneInCorso()) {
        m_chiudiAlTermine = m_screen->ChiediInterruzione();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
