#include "ScreenFixture.h"
#include "platform/host/Settings.h"

// Before the services: its own title over the host's, hidden frames, the first tool
// states; closing survives a failing host.
TEST(IControl, StartsWithItsOwnTitleAndTheFirstToolStatesAndClosesDespiteHostErrors)
{
    ScriptedDialogs dialogs;
    ctlVevAre screen(dialogs);
    QString caption = QStringLiteral("Altro titolo");
    static_cast<IControl&>(screen).setCaption(caption);
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("Importazione valori PDC"));
    EXPECT_TRUE(screen.fraSelectPeriodo->isHidden());
    EXPECT_TRUE(screen.fraLog->isHidden());
    EXPECT_TRUE(screen.picCaption->isHidden());
    EXPECT_TRUE(screen.DS1->isToolEnabled(QStringLiteral("tbNew")) && screen.DS1->isToolEnabled(QStringLiteral("tbOpen")));
    for (const char* key : {"tbClose", "tbOK", "tbCancel", "tbPrint"})
        EXPECT_FALSE(screen.DS1->isToolEnabled(QLatin1String(key))) << key;
    EXPECT_FALSE(screen.DS1->isToolVisible(QStringLiteral("tbImport")));

    int handled = 0;
    QObject::connect(&screen, &ctlVevAre::ExitControl, [&] {
        ++handled;
        throw std::runtime_error("host failure");
    });
    EXPECT_NO_THROW(screen.CloseWindow());
    EXPECT_EQ(handled, 1);
}

using ScreenServices = ScreenFixture;

TEST_F(ScreenServices, NothingHandedOverIsRefusedAndTheWorkingFolderIsReadAgain)
{
    // Nothing handed over: an error the host can trap, and the services stay.
    EXPECT_THROW(screen->setCGlobal(nullptr), AppError);
    EXPECT_EQ(screen->m_CGlobal, global.get());

    Settings::SaveSetting(QStringLiteral("KTRTest"), QStringLiteral("General"), QStringLiteral("WorkingFolder"), QString());
    screen->setCGlobal(global.get());
    EXPECT_EQ(screen->m_WorkingFolder, QString());
}

TEST_F(ScreenServices, MostraErroreShowsTheErrorAndTheConnectionsFirstError)
{
    screen->MostraErrore(AppError(13, QStringLiteral("Tipo non corrispondente")));
    EXPECT_EQ(box(), QStringList{"Importazione valori PDC: Tipo non corrispondente"});
    EXPECT_EQ(dialogs.shown().value(0).flags, vb::vbCritical);
    screen->MostraErrore(AppError(0, QStringLiteral("niente")));  // no error: no box
    dialogs.clear();

    // A failed statement: a negative error number, and the connection's own description.
    try {
        conn().Execute(QStringLiteral("SELECT * FROM TABELLA_INESISTENTE"));
    } catch (...) {
        screen->MostraErrore(AppError::fromCurrent());
    }
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QStringLiteral("TABELLA_INESISTENTE"), Qt::CaseInsensitive));
}
