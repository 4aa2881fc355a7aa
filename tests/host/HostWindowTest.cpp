#include "TestDb.h"
#include "control/ctlVevAre.h"
#include "host/HostSetup.h"
#include "host/MainWindow.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/db/Recordset.h"
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Host, CreatesADemoDatabaseOnceAndRefusesToOverwriteIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("nuovo/analisi.sqlite"));
    HostSetup::createDatabase(file);
    ASSERT_TRUE(QFileInfo::exists(file));
    Connection c(file);
    EXPECT_EQ(scalar(c, QStringLiteral("SELECT COUNT(*) FROM QD05_DITTA")).toInt(), 7);
    EXPECT_EQ(scalar(c, QStringLiteral("SELECT COUNT(*) FROM QD40_VALUTE")).toInt(), 4);
    EXPECT_THROW(HostSetup::createDatabase(file), AppError);
}

TEST(Host, WindowEmbedsTheScreenAndClosesOnExitControl)
{
    TestDb db;
    CGlobal global(db.open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), db.folder());
    MainWindow w(global);
    w.show();
    ctlVevAre* screen = w.screen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->m_CGlobal, &global);
    EXPECT_GE(screen->cmbValuta->ListCount(), 4);  // the currencies arrived with the services
    ASSERT_TRUE(w.isVisible());
    screen->DS1->click(QStringLiteral("tbExit"));
    EXPECT_FALSE(w.isVisible());
}
