#include "ScreenFixture.h"
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {
const char* const kTools[] = {"tbNew", "tbOpen", "tbClose", "tbOK", "tbCancel",
                              "tbPrint", "tbExit", "tbImport", "tbImportCEE", "tbImportXBRL"};

// Clicks with every tool enabled, then with every tool disabled, and gives the states after
// each ('E' enabled, 'D' disabled): unchanged tools keep what they had, so rows show both sides.
QString rows(DockToolbar* bar, const char* key)
{
    QString out;
    for (bool before : {true, false}) {
        for (const char* t : kTools) bar->setToolEnabled(QLatin1String(t), before);
        bar->click(QLatin1String(key));
        for (const char* t : kTools) out += bar->isToolEnabled(QLatin1String(t)) ? QLatin1Char('E') : QLatin1Char('D');
        out += QLatin1Char(' ');
    }
    return out.trimmed();
}
}  // namespace

class Toolbar : public ScreenFixture {};

TEST_F(Toolbar, EachCommandSetsItsRowOfButtonStates)
{
    DockToolbar* bar = screen->DS1;
    // A fresh form saves nothing yet and has no run to close.
    EXPECT_EQ(rows(bar, "tbNew"), QStringLiteral("DDDDEDEDDD DDDDEDDDDD"));
    EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
    EXPECT_TRUE(screen->cmbAnni->freeTyping());
    EXPECT_EQ(rows(bar, "tbCancel"), QStringLiteral("EEEDDDEEEE EEDDDDDEEE"));
    EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
    EXPECT_EQ(rows(bar, "tbOpen"), QStringLiteral("DDDDEDEDDD DDDDEDDDDD"));
    EXPECT_FALSE(screen->cmbAnni->freeTyping());
    EXPECT_TRUE(screen->m_ModalitaApri);

    screen->picCaption->setVisible(true);
    screen->fraLog->setVisible(true);
    screen->lwLog->addRow(QStringLiteral("1010"), QStringLiteral("Cassa"), QStringLiteral("100"));
    EXPECT_EQ(rows(bar, "tbClose"), QStringLiteral("EEDEEDEEEE EEDDDDEEEE"));
    EXPECT_TRUE(screen->picCaption->isHidden() && screen->fraLog->isHidden());
    EXPECT_EQ(screen->lwLog->rowCount(), 0);
}

TEST_F(Toolbar, HotkeysActOnlyOnEnabledVisibleToolsAndReportTheirErrors)
{
    DockToolbar* bar = screen->DS1;
    QStringList clicks;
    QObject receiver;  // disconnects when the test ends
    QObject::connect(bar, &DockToolbar::toolClick, &receiver, [&](const QString& key) { clicks << key; });
    Hotkey& keys = global->Hotkey();
    dialogs.answerFile(QString());  // the XBRL import asks for its file: cancelled
    for (auto [key, name] : {std::pair{Qt::Key_F5, "HKKTRIMPORT"}, {Qt::Key_F6, "HKKTRIMPORTCEE"},
                             {Qt::Key_F7, "HKKTRIMPORTXBRL"}, {Qt::Key_F8, "HKKTRIMPORTX"}}) {
        keys.bind(QKeySequence(key), QLatin1String(name));
        EXPECT_EQ(screen->HandleHotkey(key, 0), key != Qt::Key_F8) << name;
    }
    EXPECT_EQ(clicks, (QStringList{"tbImport", "tbImportCEE", "tbImportXBRL"}));
    clicks.clear();
    // Each command, failed or cancelled, left the window idle: hint shown, tools and keys back.
    EXPECT_FALSE(screen->lblSuggerimento->isHidden());
    EXPECT_TRUE(bar->isToolEnabled(QStringLiteral("tbNew")) && bar->isToolEnabled(QStringLiteral("tbImportXBRL")));

    EXPECT_FALSE(screen->HandleHotkey(Qt::Key_F9, 0));
    EXPECT_FALSE(screen->HandleHotkey(Qt::Key_S, 2));  // HKSTDSAVE, no period chosen
    // With the form shown, the key says what is missing.
    dialogs.clear();
    screen->ClickNew();
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_S, 2));
    EXPECT_EQ(box(), QStringList{screen->captionTitle() + ": Scegliere la ditta"});
    screen->ClickCancel();
    bar->setToolVisible(QStringLiteral("tbNew"), false);
    EXPECT_FALSE(screen->HandleHotkey(Qt::Key_N, 2));  // HKSTDNEW on a hidden tool
    EXPECT_TRUE(clicks.isEmpty());

    // A failing hotkey has its own report; a failing tool click, the screen's.
    dialogs.clear();
    conn().Execute(QStringLiteral("ALTER TABLE QD05_DITTA RENAME TO QD05_ALTRA"));
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_O, 2));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Rilevazione Hotkey"));
    EXPECT_EQ(dialogs.shown()[0].flags, vb::vbCritical);

    dialogs.clear();
    screen->DS1->click(QStringLiteral("tbOpen"));
    ASSERT_FALSE(dialogs.shown().isEmpty());
    EXPECT_EQ(dialogs.shown()[0].title, screen->captionTitle());
}

// A key nobody takes travels up from the focus widget: the hotkeys look at it once.
TEST_F(Toolbar, AKeyPressReachesTheHotkeyServiceOnce)
{
    screen->show();
    QApplication::setActiveWindow(screen.get());
    screen->ClickNew();
    screen->cmbDitte->choose(0);
    screen->cmbAnni->setFocus();
    QWidget* anno = QApplication::focusWidget();
    ASSERT_TRUE(anno == screen->cmbAnni || anno == screen->cmbAnni->lineEdit());
    const int prima = global->Hotkey().richieste();
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QCoreApplication::sendEvent(anno, &f9);
    EXPECT_EQ(global->Hotkey().richieste() - prima, 1);

    // Focus on the screen itself: its own key handler asks.
    screen->setFocus();
    QCoreApplication::sendEvent(screen.get(), &f9);
    EXPECT_EQ(global->Hotkey().richieste() - prima, 2);
}
