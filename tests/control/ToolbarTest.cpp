#include "ScreenFixture.h"
#include "platform/DockToolbar.h"
#include "platform/ListControl.h"
#include "platform/LogList.h"
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QSignalSpy>

namespace {
const char* const kTools[] = {"tbNew", "tbOpen", "tbClose", "tbOK", "tbCancel",
                              "tbPrint", "tbExit", "tbImport", "tbImportCEE", "tbImportXBRL"};

// Sets every tool to `before`, clicks, and gives the states: 'E' enabled, 'D' disabled.
QString row(DockToolbar* bar, const char* key, bool before)
{
    for (const char* t : kTools) bar->setToolEnabled(QLatin1String(t), before);
    bar->click(QLatin1String(key));
    QString out;
    for (const char* t : kTools) out += bar->isToolEnabled(QLatin1String(t)) ? QLatin1Char('E') : QLatin1Char('D');
    return out;
}
}  // namespace

class Toolbar : public ScreenFixture {};

TEST_F(Toolbar, EachCommandSetsItsRowOfButtonStates)
{
    DockToolbar* bar = screen->DS1;
    // Unchanged tools keep what they had: rows are checked from both sides.
    EXPECT_EQ(row(bar, "tbNew", true), QStringLiteral("DDEEEDEDDD"));
    EXPECT_EQ(row(bar, "tbNew", false), QStringLiteral("DDDDEDDDDD"));
    EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
    EXPECT_TRUE(screen->cmbAnni->freeTyping());
    EXPECT_EQ(row(bar, "tbCancel", false), QStringLiteral("EEDDDDDEEE"));
    EXPECT_EQ(row(bar, "tbCancel", true), QStringLiteral("EEEDDDEEEE"));
    EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
    EXPECT_EQ(row(bar, "tbOpen", true), QStringLiteral("DDEEEDEDDD"));
    EXPECT_EQ(row(bar, "tbOpen", false), QStringLiteral("DDDDEDDDDD"));
    EXPECT_FALSE(screen->cmbAnni->freeTyping());
    EXPECT_TRUE(screen->m_ModalitaApri);

    screen->picCaption->setVisible(true);
    screen->fraLog->setVisible(true);
    screen->lwLog->addRow(QStringLiteral("1010"), QStringLiteral("Cassa"), QStringLiteral("100"));
    EXPECT_EQ(row(bar, "tbClose", false), QStringLiteral("EEDDDDEEEE"));
    EXPECT_EQ(row(bar, "tbClose", true), QStringLiteral("EEDEEDEEEE"));
    EXPECT_TRUE(screen->picCaption->isHidden() && screen->fraLog->isHidden());
    EXPECT_EQ(screen->lwLog->rowCount(), 0);

    QSignalSpy exit(screen.get(), SIGNAL(ExitControl()));
    bar->click(QStringLiteral("tbExit"));
    EXPECT_EQ(exit.count(), 1);
}

TEST_F(Toolbar, HotkeysActOnlyOnEnabledVisibleTools)
{
    DockToolbar* bar = screen->DS1;
    QSignalSpy clicks(bar, &DockToolbar::toolClick);
    Hotkey& keys = global->Hotkey();
    keys.bind(QKeySequence(Qt::Key_F5), QStringLiteral("HKKTRIMPORT"));
    keys.bind(QKeySequence(Qt::Key_F6), QStringLiteral("HKKTRIMPORTCEE"));
    keys.bind(QKeySequence(Qt::Key_F7), QStringLiteral("HKKTRIMPORTXBRL"));
    keys.bind(QKeySequence(Qt::Key_F8), QStringLiteral("HKKTRIMPORTX"));
    for (int key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8}) EXPECT_TRUE(screen->HandleHotkey(key, 0));
    ASSERT_EQ(clicks.count(), 3);
    EXPECT_EQ(clicks[0][0].toString(), QStringLiteral("tbImport"));
    EXPECT_EQ(clicks[1][0].toString(), QStringLiteral("tbImportCEE"));
    EXPECT_EQ(clicks[2][0].toString(), QStringLiteral("tbImportXBRL"));
    clicks.clear();

    EXPECT_FALSE(screen->HandleHotkey(Qt::Key_F9, 0));
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_S, 2));  // HKSTDSAVE, no period chosen
    bar->setToolVisible(QStringLiteral("tbNew"), false);
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_N, 2));  // HKSTDNEW on a hidden tool
    EXPECT_EQ(clicks.count(), 0);

    // A key pressed on any control of the screen reaches the hotkeys.
    bar->setToolVisible(QStringLiteral("tbNew"), true);
    QKeyEvent ctrlN(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
    QCoreApplication::sendEvent(screen->cmbDitte, &ctrlN);
    EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
}

TEST_F(Toolbar, HotkeyErrorsHaveTheirOwnReport)
{
    conn().Execute(QStringLiteral("ALTER TABLE QD05_DITTA RENAME TO QD05_ALTRA"));
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_O, 2));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Rilevazione Hotkey"));
    EXPECT_EQ(dialogs.shown()[0].flags, vb::vbCritical);

    dialogs.clear();  // from the toolbar, the screen's error report
    screen->DS1->click(QStringLiteral("tbOpen"));
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].title, screen->captionTitle());
}
