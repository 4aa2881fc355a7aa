#include "TestDb.h"
#include "control/ctlVevAre.h"
#include "host/FinestraPeriodi.h"
#include "host/MainWindow.h"
#include "model/Provenienza.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/DockToolbar.h"
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

// Keys work before any field had the focus and after each command, the idle screen says
// what to do, no size hides a tool, and Exit closes the window; during an import, closing asks.
TEST(Host, KeysWorkFromTheFirstMomentEveryToolStaysInSightAndClosingDuringAnImportAsks)
{
    TestDb db;
    CGlobal global(db.open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), db.folder());
    global.App().setProperty(QStringLiteral("WorkingFolder"), QStringLiteral("/da/riga/di/comando"));  // --working-folder
    auto* script = new ScriptedDialogs;
    MainWindow w(global, nullptr, std::unique_ptr<Dialogs>(script));
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
    EXPECT_TRUE(script->shown().isEmpty());

    // Closing the window while an import runs asks; No goes on, Yes closes once the run ends.
    w.show();
    {
        const ctlVevAre::InCorso run(*screen);
        script->answerMessage(vb::vbNo).answerMessage(vb::vbYes);
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.isVisible() && !screen->InterruzioneRichiesta());
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(screen->InterruzioneRichiesta());
        QCoreApplication::processEvents();
        EXPECT_TRUE(w.isVisible());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(script->shown().size(), 2);
    EXPECT_EQ(script->shown()[1].text, QStringLiteral("Interrompere l'importazione al termine del gruppo in corso?"));
}

// "Periodi importati" lists the periods of every company with their provenance, narrows
// them by company and year, shows the chosen one's values, exports it, and deletes it only
// when no import runs and the user says Yes to a question whose default is No. The host
// tool names its key and does not open during an import.
class FinestraPeriodiTest : public ::testing::TestWithParam<QString> {};

TEST_P(FinestraPeriodiTest, ListsFiltersShowsExportsAndDeletesThePeriodChosen)
{
    SALTA_SENZA(GetParam());
    TestDb db(GetParam());
    CGlobal global(db.open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), db.folder());
    Connection& c = global.Database().Connection();
    for (const QVariantList& p : {QVariantList{"R001", "2024", 3, "Marzo/2024 (Periodo n° 1)"}, {"A002", "2025", 12, "Dicembre/2025 (Periodo n° 1)"}})
        c.Esegui("INSERT INTO QD21_PERVALUTA VALUES (?, ?, ?, 1, ?, ?, 1, 1, 0)", {p[0], p[1], p[2], "EUR", p[3]});
    for (const QVariantList& v : {QVariantList{"R001", "1010", "2024", 3, 1500.25}, {"R001", "2010", "2024", 3, -1500.25}, {"A002", "1010", "2025", 12, 7}})
        c.Esegui("INSERT INTO QD07_VALORIPDC VALUES (?, ?, ?, ?, 0, 0, ?, ?, 1)", {v[0], v[1], v[2], v[3], v[4], v[4]});
    const QString file = scriviFile(db.folder() + "/saldi.txt", "1010;Cassa;1500,25\r\n");
    Provenienza p;
    p.ditta = "R001", p.anno = "2024", p.mese = 3, p.periodo = 1, p.tipo = Provenienza::Testo, p.file = file, p.quadratura = "superata";
    Provenienza::registra(global, p);

    ScriptedDialogs dialogs;
    bool inCorso = false;
    FinestraPeriodi f(global, dialogs, [&] { return inCorso; });
    ASSERT_EQ(f.lstPeriodi->rowCount(), 2);
    EXPECT_EQ(f.lstPeriodi->item(0, 0)->text(), QStringLiteral("L'Àncora Società Cooperativa"));
    EXPECT_EQ(f.lstPeriodi->item(0, 9)->text(), QStringLiteral("provenienza non registrata"));
    EXPECT_TRUE(f.lstPeriodi->item(1, 9)->text().startsWith("testo saldi.txt, ")) << f.lstPeriodi->item(1, 9)->text().toStdString();
    EXPECT_EQ(f.lstPeriodi->item(1, 8)->text(), "superata");
    EXPECT_TRUE(f.lstPeriodi->item(1, 9)->toolTip().contains("SHA-256: "));
    f.cmbDitta->setCurrentIndex(f.cmbDitta->findText(QStringLiteral("Rossi & Figli S.r.l.")));
    EXPECT_EQ(f.cmbAnno->count(), 2);
    ASSERT_EQ(f.lstPeriodi->rowCount(), 1);
    EXPECT_FALSE(f.cmdElimina->isEnabled());
    f.scegli(0);
    const QAbstractItemModel* valori = f.lstValori->model();
    ASSERT_EQ(valori->rowCount(), 2);
    EXPECT_EQ(QStringList({valori->index(0, 0).data().toString(), valori->index(0, 1).data().toString(), valori->index(0, 2).data().toString(),
                           valori->index(1, 3).data().toString()}),
              (QStringList{"1010", "Cassa", "1.500,25", "-1.500,25"}));

    const QString csv = db.folder() + "/esportato.csv";
    dialogs.answerFile(csv);
    global.App().setProperty("WorkingFolder", db.folder());  // started with --working-folder
    f.Esporta();
    EXPECT_EQ(dialogs.shown().back().defaultAnswer, db.folder() + "/R001_2024_03_periodo1.csv");
    EXPECT_TRUE(QFile::exists(csv));
    EXPECT_EQ(f.lblStato->text(), "Esportati 2 valori in " + QDir::toNativeSeparators(csv));

    const auto conta = [&] { return rowsOf(c, "SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = ?", {"R001"}); };
    inCorso = true;
    f.Elimina();
    inCorso = false;
    dialogs.answerMessage(vb::vbNo);
    f.Elimina();
    EXPECT_EQ(conta(), QStringList{"2"});
    ASSERT_EQ(dialogs.shown().size(), 3);
    EXPECT_EQ(dialogs.shown()[1].text, "Impossibile eliminare un periodo mentre è in corso un'importazione.");
    EXPECT_EQ(dialogs.shown()[2].text, "Eliminare il periodo 1 di Marzo/2024 della ditta Rossi & Figli S.r.l. (R001)?\r\n"
                                       "Saranno eliminati 2 valori e il record del periodo; i conti e il piano dei conti restano.");
    EXPECT_EQ(dialogs.shown()[2].flags, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
    dialogs.answerMessage(vb::vbYes);
    f.Elimina();
    EXPECT_EQ(conta(), QStringList{"0"});
    EXPECT_EQ(f.lstPeriodi->rowCount(), 1);  // the company has no period left: every company again
    EXPECT_TRUE(dialogs.unexpected().isEmpty());

    auto* script = new ScriptedDialogs;
    MainWindow w(global, nullptr, std::unique_ptr<Dialogs>(script));
    EXPECT_EQ(w.azionePeriodi()->toolTip(), "Periodi importati (" + QKeySequence("Ctrl+Shift+P").toString(QKeySequence::NativeText) + ")");
    const ctlVevAre::InCorso run(*w.screen());
    w.PeriodiImportati();
    ASSERT_EQ(script->shown().size(), 1);
    EXPECT_EQ(script->shown()[0].text, "È in corso un'importazione: i periodi importati si possono vedere al suo termine.");
}

SU_OGNI_BACKEND(Db, FinestraPeriodiTest);
