#include "ImportFixture.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include <QGroupBox>
#include <QLabel>

namespace {

// code;description;amount;company;date;chart, no header.
const QByteArray DefKadro = "kadro.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n"
                            "C5\t4\t0\t0\r\nC6\t5\t0\t0\r\nC7\t6\t0\t0\r\n";

QByteArray gruppo(const char* ditta, const char* data)
{
    return QByteArray("1010;Cassa;10;") + ditta + ";" + data + ";1\r\n2010;Debiti;-10;" + ditta + ";" + data + ";1\r\n";
}

class Interruzione : public ImportFixture {};

}  // namespace

// While a run waits on a question inside its transaction, no tool or hotkey but tbClose
// starts anything; tbClose asks, No goes on, Yes stops the run after the current group.
TEST_P(Interruzione, NothingStartsInsideARunAndCloseStopsItAfterTheGroup)
{
    writeDef("QDMSIT", DefKadro);
    // Posted once, so that the second run asks before each group.
    writeData("kadro.txt", gruppo("12", "31012024") + gruppo("15", "31012024") + gruppo("12", "29022024"));
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
    EXPECT_EQ(box().last(),
              "Importazione da kadro: Importazione interrotta dall'utente al termine del gruppo in corso\r\nGruppi salvati: 2 su 2");
    EXPECT_EQ(screen->m_EsitoAutomatica.gruppi, 2);
    EXPECT_EQ(screen->m_EsitoAutomatica.salvati, 2);
    EXPECT_FALSE(screen->m_EsitoAutomatica.completata);
    EXPECT_TRUE(screen->m_EsitoAutomatica.interrottaUtente);
    EXPECT_FALSE(screen->ImportazioneInCorso());
    EXPECT_FALSE(conn().inTransaction());

    // The run is over: tbClose leads back to idle without a question, and the next run runs whole.
    daCapo();
    bar->click("tbClose");
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(bar->isToolEnabled("tbImport"));
    EXPECT_FALSE(screen->lblSuggerimento->isHidden());
    writeData("kadro.txt", gruppo("12", "31032024") + gruppo("15", "31032024"));
    screen->ClickImport();
    EXPECT_TRUE(screen->m_EsitoAutomatica.completata);
    EXPECT_EQ(box().last(), "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 2 su 2");
}

INSTANTIATE_TEST_SUITE_P(Db, Interruzione, ::testing::ValuesIn(TestDb::backends()), TestDb::name<::testing::TestParamInfo<QString>>);
