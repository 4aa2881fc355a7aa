#include "ImportFixture.h"
#include <chrono>
#include <future>
#include <thread>

namespace {

// Another import on its own connection: takes the company's lock (and the chart's when given),
// runs `prima`, lets the test go on, holds the locks for a while, runs `dopo` and commits.
class AltraImportazione {
public:
    AltraImportazione(const QString& database, int attesaMs, const QStringList& dopo = {}, const QString& ditta = "R001",
                      const QString& pdc = {}, const QStringList& prima = {})
    {
        std::promise<void> presi;
        auto pronti = presi.get_future();
        m_thread = std::thread([=, presi = std::move(presi)]() mutable {
            bool avvisato = false;
            try {
                Connection c(database);
                c.BeginTrans();
                c.lockCompany(ditta);
                if (!pdc.isEmpty()) c.lockChart(pdc);
                for (const QString& sql : prima) c.Execute(sql);
                presi.set_value();
                avvisato = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(attesaMs));
                for (const QString& sql : dopo) c.Execute(sql);
                c.CommitTrans();
            } catch (...) {
                if (!avvisato) presi.set_value();
            }
        });
        pronti.wait();
    }
    ~AltraImportazione() { m_thread.join(); }

private:
    std::thread m_thread;
};

const QStringList Periodo1 = {
    "INSERT INTO QD07_VALORIPDC (QD07_CODICEDITTA_QD05, QD07_CODICECONTO, QD07_ANNO, QD07_MESE, QD07_RETTIFICA, "
    "QD07_VALOREORIGINALE, QD07_VALOREINVALUTA, QD07_NPERIODO) VALUES ('R001', '1010', '2024', 3, 0, 5, 5, 1)",
    "INSERT INTO QD21_PERVALUTA (QD21_CODICEDITTA_QD05, QD21_ANNO, QD21_MESE, QD21_NPERIODO) VALUES ('R001', '2024', 3, 1)"};

class Concorrenza : public ImportFixture {
protected:
    void SetUp() override
    {
        ImportFixture::SetUp();
        writeDef("ROSSI", "saldi.txt" + LayoutSaldi);
        writeData("saldi.txt", righe({"h", "1010;Cassa;100;A", "2010;Debiti;-100;P"}));
    }
    // Wide margins both ways: a loaded machine must not turn a wait into a timeout, nor the reverse.
    int lockTimeoutMs() const override { return 1500; }
};

}  // namespace

TEST_P(Concorrenza, ASecondImportWaitsAndNeverTakesTheSamePeriod)
{
    {
        AltraImportazione altra(db->connectionString(), 300, Periodo1);
        dialogs.answerMessage(vb::vbNo);
        importa(Rossi, "2024", "Marzo");
    }
    EXPECT_EQ(righeDb("SELECT QD21_NPERIODO FROM QD21_PERVALUTA ORDER BY 1"), (QStringList{"1", "2"}));
    EXPECT_EQ(righeDb("SELECT QD07_NPERIODO, COUNT(*) FROM QD07_VALORIPDC GROUP BY 1 ORDER BY 1"), (QStringList{"1|1", "2|2"}));
}

TEST_P(Concorrenza, AnImportThatWaitsTooLongEndsWithAMessageAndWritesNothing)
{
    const QStringList prima = istantanea();
    {
        AltraImportazione altra(db->connectionString(), 3500);
        importa(Rossi, "2024", "Marzo");
        EXPECT_EQ(istantanea(), prima);
    }
    EXPECT_EQ(box().filter(QStringLiteral("riprovare più tardi")).size(), 1) << box().join('\n').toStdString();
    EXPECT_TRUE(box().filter(QStringLiteral("Importazione terminata")).size() == 1);
}

TEST_P(Concorrenza, TwoImportsCreatingOneAccountOfOneChartBothSucceed)
{
    writeData("saldi.txt", righe({"h", "1010;Cassa;100;A", "2010;Debiti;-100;P", "9990;Nuovo conto;0;A"}));
    {
        AltraImportazione altra(db->connectionString(), 300, {}, "A002", "STD",
                                {"INSERT INTO QD15_DEFPDC (QD15_CODICEPDC_QD04, QD15_CODICECONTO, QD15_DESCRIZIONE, QD15_LIVELLO, "
                                 "QD15_SEZIONE) VALUES ('STD', '9990', 'Altra', 1, '1')"});
        importa(Rossi, "2024", "Marzo");
    }
    EXPECT_EQ(box().last(), "Importazione da kadro: Importazione terminata") << box().join('\n').toStdString();
    EXPECT_EQ(righeDb("SELECT QD15_DESCRIZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO = '9990'"), QStringList{"Nuovo conto"});
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = 'R001'"), 3);
}

TEST_P(Concorrenza, AnAutomaticRunNamesTheGroupThatWaitedTooLong)
{
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;12;31032024;1", "2010;Debiti;-100;P;;12;31032024;1",
                                  "1010;Cassa;50;A;;15;31032024;1", "2010;Debiti;-50;P;;15;31032024;1"}));
    {
        AltraImportazione altra(db->connectionString(), 3500);
        screen->ClickImport();
    }
    const QStringList righeLog = log();
    const qsizetype inizio = righeLog.indexOf(QRegularExpression("^\\|RIEPILOGO: gruppi salvati [01] su 2\\|$"));
    ASSERT_GE(inizio, 0) << righeLog.join('\n').toStdString();
    const QString rossi = righeLog.value(inizio + 1);
    EXPECT_TRUE(rossi.startsWith("R001|Rossi & Figli S.r.l.  3/2024 - ")) << rossi.toStdString();
    EXPECT_TRUE(rossi.contains("riprovare più tardi") && rossi.endsWith("|non salvato")) << rossi.toStdString();
    EXPECT_TRUE(screen->m_EsitoAutomatica.completata);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = 'R001'"), 0);
}

SU_OGNI_BACKEND(Db, Concorrenza);
