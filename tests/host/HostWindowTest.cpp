#include "TestDb.h"
#include "control/ctlVevAre.h"
#include "host/MainWindow.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/Traduzioni.h"
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// Keys work before any field had the focus and after each command, the idle screen says
// what to do, no size hides a tool, and Exit closes the window.
TEST(Host, KeysWorkFromTheFirstMomentAndEveryToolStaysInSight)
{
    TestDb db;
    CGlobal global(db.open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), db.folder());
    global.App().setProperty(QStringLiteral("WorkingFolder"), QStringLiteral("/da/riga/di/comando"));  // --working-folder
    MainWindow w(global);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ctlVevAre* screen = w.screen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->m_WorkingFolder, QStringLiteral("/da/riga/di/comando"));  // over the stored setting
    DockToolbar* bar = screen->DS1;
    EXPECT_FALSE(screen->lblSuggerimento->isHidden());

    // Keys as the window system delivers them: to the focus widget, or to the window.
    auto premi = [&](Qt::Key tasto) {
        QTest::keyClick(w.windowHandle(), tasto, Qt::ControlModifier);
        QCoreApplication::processEvents();
    };
    for (int giro = 0; giro < 2; ++giro) {
        premi(Qt::Key_N);
        EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
        EXPECT_TRUE(screen->lblSuggerimento->isHidden());
        premi(Qt::Key_Z);
        EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
        EXPECT_FALSE(screen->lblSuggerimento->isHidden());
        premi(Qt::Key_O);
        EXPECT_TRUE(screen->m_ModalitaApri);
        EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
        bar->click(QStringLiteral("tbCancel"));  // by the mouse: the keys go on working
        EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
    }

    w.resize(50, 50);
    QCoreApplication::processEvents();
    EXPECT_GE(w.width(), bar->sizeHint().width());
    for (const char* t : {"tbNew", "tbOpen", "tbClose", "tbOK", "tbCancel", "tbPrint", "tbExit", "tbImport", "tbImportCEE",
                          "tbImportXBRL"}) {
        const QWidget* bottone = bar->widgetForAction(bar->action(QLatin1String(t)));
        EXPECT_TRUE(bottone && bottone->isVisible() && bar->rect().contains(bottone->geometry())) << t;
    }
    bar->click(QStringLiteral("tbExit"));
    EXPECT_FALSE(w.isVisible());
}

// Closing the window while an import runs asks; No goes on, Yes closes once the run ends.
TEST(Host, ClosingTheWindowDuringAnImportAsksFirst)
{
    installaTraduzioniQt();
    TestDb db;
    CGlobal global(db.open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), db.folder());
    MainWindow w(global);
    w.show();
    QString domanda;
    auto rispondi = [&](const QString& scelta) {  // by the Italian label
        QTimer::singleShot(0, [&, scelta] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            domanda = box->text();
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == scelta) b->click();
            }
        });
    };
    {
        const ctlVevAre::InCorso run(*w.screen());
        rispondi(QStringLiteral("&No"));
        EXPECT_FALSE(w.close());
        EXPECT_EQ(domanda, QStringLiteral("Interrompere l'importazione al termine del gruppo in corso?"));
        EXPECT_TRUE(w.isVisible());
        rispondi(QStringLiteral("&Sì"));
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.screen()->InterruzioneRichiesta());
        QCoreApplication::processEvents();
        EXPECT_TRUE(w.isVisible());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
}
