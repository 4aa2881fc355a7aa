#include "ImportFixture.h"

namespace {

// A header line, then two lines of the company and date given per pair.
QByteArray gruppi(std::initializer_list<std::pair<const char*, const char*>> dittaData)
{
    QByteArray out = "h\r\n";
    for (auto [ditta, data] : dittaData)
        out += QByteArray("1010;Cassa;10;A;;") + ditta + ";" + data + ";1\r\n2010;Debiti;-10;P;;" + ditta + ";" + data + ";1\r\n";
    return out;
}

using Interruzione = ImportFixture;

}  // namespace

// While a run waits on a question inside its transaction, no tool or hotkey but tbClose
// starts anything; tbClose asks, No goes on, Yes stops the run after the current group.
TEST_P(Interruzione, NothingStartsInsideARunAndCloseStopsItAfterTheGroup)
{
    // Posted once, so that the second run asks before each group.
    writeData("kadro.txt", gruppi({{"12", "31012024"}, {"15", "31012024"}, {"12", "29022024"}}));
    screen->ClickImport();
    ASSERT_TRUE(screen->m_EsitoAutomatica.completata);
    screen->DS1->click("tbClose");
    daCapo();
    DockToolbar* bar = screen->DS1;
    int uscite = 0;
    QObject::connect(screen.get(), &ctlVevAre::ExitControl, screen.get(), [&] { ++uscite; });
    const QString domanda = screen->captionTitle() + ": Interrompere l'importazione al termine del gruppo in corso?";

    // 12: a new period, not stopped; 15: overwritten, then stopped before 12's February.
    dialogs.answerMessage(vb::vbNo).answerMessage(vb::vbNo).answerMessage(vb::vbYes).answerMessage(vb::vbYes);
    int ricopro = 0;
    dialogs.setOnShown([&](const ScriptedDialogs::Box& b) {
        if (!b.text.contains("Ricopro")) return;
        if (++ricopro == 1) {
            const qsizetype prima = dialogs.shown().size();
            for (const char* t : {"tbNew", "tbOpen", "tbOK", "tbCancel", "tbPrint", "tbExit", "tbImport", "tbImportCEE",
                                  "tbImportXBRL"}) {
                EXPECT_FALSE(bar->isToolEnabled(t)) << t;
                bar->click(t);
            }
            for (auto [tasto, shift] : {std::pair{Qt::Key_I, 2}, {Qt::Key_I, 3}, {Qt::Key_X, 2}, {Qt::Key_N, 2}, {Qt::Key_O, 2}})
                EXPECT_FALSE(screen->HandleHotkey(tasto, shift));
            EXPECT_EQ(dialogs.shown().size(), prima);  // nothing asked, nothing started
            EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
            EXPECT_EQ(uscite, 0);
            EXPECT_TRUE(conn().inTransaction());
        }
        bar->click("tbClose");
    });
    screen->ClickImport();

    EXPECT_EQ(righeDb("SELECT QD21_CODICEDITTA_QD05, QD21_MESE, QD21_NPERIODO FROM QD21_PERVALUTA ORDER BY 1, 2, 3"),
              (QStringList{"A002|1|1", "R001|1|1", "R001|1|2", "R001|2|1"}));
    EXPECT_EQ(box().filter(domanda).size(), 2);
    // The group not reached is counted and named.
    EXPECT_EQ(box().last(),
              "Importazione da kadro: Importazione interrotta dall'utente al termine del gruppo 2 di 3\r\nGruppi salvati: 2 su 3");
    EXPECT_EQ(log().filter("|non importato").join('\n'), "R001|Rossi & Figli S.r.l.  2/2024 - importazione interrotta|non importato");
    EXPECT_FALSE(screen->ImportazioneInCorso());

    // The run is over: the window is idle with its summary on screen, the next run starts at
    // once, and tbClose takes the summary away without a question.
    daCapo();
    EXPECT_TRUE(bar->isToolEnabled("tbImport") && bar->isToolEnabled("tbNew"));
    EXPECT_FALSE(screen->lblSuggerimento->isHidden() || screen->fraLog->isHidden());
    bar->click("tbClose");
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(screen->fraLog->isHidden());
    writeData("kadro.txt", gruppi({{"12", "31032024"}, {"15", "31032024"}}));
    screen->ClickImport();
    EXPECT_EQ(box().last(), "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 2 su 2");
}

SU_OGNI_BACKEND(Db, Interruzione);
