#include "TestDb.h"
#include "host/Batch.h"
#include "host/BatchDialogs.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

void scriviFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// The folders of a run, with the automatic import's definition.
void cartelle(const QTemporaryDir& cartella)
{
    QDir().mkpath(cartella.filePath("app/Def"));
    QDir().mkpath(cartella.filePath("lavoro"));
    scriviFile(cartella.filePath("app/Def/QDMSIT"), "kadro.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n"
                                                    "C5\t4\t0\t0\r\nC6\t5\t0\t0\r\nC7\t6\t0\t0\r\n");
}

// Runs a batch command; its exit code, its standard output in lines and its errors.
int esegui(const std::function<int()>& comando, QStringList& out, QString& err)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int codice = comando();
    out = QString::fromStdString(testing::internal::GetCapturedStdout()).split('\n', Qt::SkipEmptyParts);
    err = QString::fromStdString(testing::internal::GetCapturedStderr());
    return codice;
}

class BatchSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        cartelle(cartella);
        scriviFile(cartella.filePath("app/Def/ROSSI"),
                   "saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n");
        dati("1010;Cassa;1500;A\r\n2010;Debiti;-1500;P\r\n");
        global = std::make_unique<CGlobal>(db.open(), "EUR", "KTRTest", cartella.filePath("app"));
        opzioni.workingFolder = cartella.filePath("lavoro");
        opzioni.company = "Rossi & Figli S.r.l.";
        opzioni.year = "2024";
        opzioni.month = "marzo";
    }
    void dati(const QByteArray& righe) { scriviFile(cartella.filePath("lavoro/saldi.txt"), "Conto;Descrizione;Saldo;Sezione\r\n" + righe); }

    int salva() { return esegui([&] { return Batch::save(*global, opzioni); }, out, err); }

    QTemporaryDir cartella;
    TestDb db;
    std::unique_ptr<CGlobal> global;
    BatchOptions opzioni;
    QStringList out;
    QString err;
};

}  // namespace

TEST_F(BatchSave, PrintsBoxesAndLogRowsAndExitsNonZeroOnFailureOrUnknownChoices)
{
    ASSERT_EQ(salva(), 0) << err.toStdString();
    EXPECT_EQ(out.filter("BOX "), (QStringList{"BOX information Importazione da kadro | Importazione terminata -> ok"}));
    EXPECT_EQ(out.filter("LOG "),
              (QStringList{"LOG \tImportazione in corso ....\t\t-\t-", "LOG 1010\tCassa\t1.500\t-\t-",
                           "LOG 2010\tDebiti\t-1.500\t-\t-", "LOG \tVERIFICA QUADRATURA 2024  EFFETTUATO CON SUCCESSO.\t\t-\tH"}));

    // Answered No: a new period, announced.
    dati("1010;Cassa;100;A\r\n");
    ASSERT_EQ(salva(), 0);
    EXPECT_TRUE(out.contains("BOX question Importazione valori PDC | Valori gia' presenti per \\nquesto periodo, Ricopro ? -> no"));
    EXPECT_TRUE(out.contains(QStringLiteral("BOX information Importazione dati di bilancio | Periodo assegnato n° : 2 -> ok")));
    EXPECT_TRUE(out.contains("LOG \tVERIFICA QUADRATURA NON SUPERATO.\t\tE\t-"));
    EXPECT_TRUE(out.contains("BOX exclamation Verifica Quadratura | Attenzione! Verifica quadratura non superato.\\n Ditta : "
                             "R001 Anno : 2024 Mese : 3 Periodo : 2 -> ok"));

    // Overwrite: the list comes back on 7, the text is no number: nothing is saved.
    opzioni.answerYes = true;
    opzioni.inputs = QStringList{"7", "x"};
    const QVariant prima = scalar(global->Database().Connection(), "SELECT COUNT(*) FROM QD07_VALORIPDC");
    EXPECT_EQ(salva(), 1);
    EXPECT_EQ(out.filter("BOX input Selezione Periodo").size(), 2);
    EXPECT_TRUE(out.filter("BOX input").last().endsWith("-> x"));
    EXPECT_EQ(out.filter("BOX critical").size(), 1);
    EXPECT_EQ(scalar(global->Database().Connection(), "SELECT COUNT(*) FROM QD07_VALORIPDC"), prima);

    opzioni.company = "Nessuna";
    EXPECT_EQ(salva(), 2);
    EXPECT_TRUE(err.contains("Ditta non trovata")) << err.toStdString();
    opzioni.company = "Rossi & Figli S.r.l.";
    opzioni.month = "Marzolino";
    EXPECT_EQ(salva(), 2);
    EXPECT_TRUE(err.contains("Mese non trovato")) << err.toStdString();
}

// Boxes shown on the way do not decide the exit code: only the import's commit does.
TEST_F(BatchSave, ExitCodeFollowsTheCommitAndTheSavedPeriodIsPrinted)
{
    // Fixed width with the amount's cut reversed: one error box per line, then a commit.
    scriviFile(cartella.filePath("app/Def/ROSSI"), "saldi.txt\r\n0\r\n0\r\n0\r\n0\r\n1\r\nC1\t0\t1\t4\r\nC2\t0\t10\t5\r\n");
    scriviFile(cartella.filePath("lavoro/saldi.txt"), "1010      100\r\n2010      -100\r\n");
    ASSERT_EQ(salva(), 0) << err.toStdString();
    EXPECT_EQ(out.filter("BOX critical").size(), 2);
    EXPECT_TRUE(out.contains("SALVATO R001\t2024\t3\t1"));

    EXPECT_EQ(salva(), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("BOX information Importazione dati di bilancio | Periodo assegnato n° : 2 -> ok")));
    EXPECT_TRUE(out.contains("SALVATO R001\t2024\t3\t2"));
    EXPECT_EQ(scalar(global->Database().Connection(), "SELECT COUNT(*) FROM QD21_PERVALUTA").toInt(), 2);
}

TEST(BatchOutput, ControlCharactersAreEscapedSoEachRecordStaysOnOneLine)
{
    const std::pair<QString, QString> casi[] = {
        {"a\r\nb", "a\\nb"}, {"a\nb", "a\\nb"},     {"a\rb", "a\\rb"},   {"a\tb", "a\\tb"},
        {QString("a") + QChar(0) + "b", "a\\0b"},    {"C:\\Lavoro", "C:\\\\Lavoro"}, {QString(QChar(7)), "\\x07"},
        {"Perché", "Perché"},
    };
    for (const auto& [testo, atteso] : casi) EXPECT_EQ(BatchDialogs::inLinea(testo), atteso) << testo.toStdString();
}

// The automatic import from the command line names every group it committed, ends with
// its summary rows, and its exit code says whether all, none or some groups were saved.
TEST(BatchAutomatica, PrintsEachGroupAndExitsByHowManyWereSaved)
{
    QTemporaryDir cartella;
    cartelle(cartella);
    const QByteArray due = "1010;Cassa;10;12;31012024;1\r\n2010;Debiti;-10;12;31012024;1\r\n1010;Cassa;5;15;31012024;1\r\n"
                           "2010;Debiti;-5;15;31012024;1\r\n";
    scriviFile(cartella.filePath("lavoro/kadro.txt"), due);
    TestDb db;
    CGlobal global(db.open(), "EUR", "KTRTest", cartella.filePath("app"));
    BatchOptions opzioni;
    opzioni.workingFolder = cartella.filePath("lavoro");
    QStringList out;
    QString err;
    const auto importa = [&] { return esegui([&] { return Batch::importaEsportazione(global, opzioni, false); }, out, err); };
    EXPECT_EQ(importa(), 0);
    EXPECT_EQ(out.filter("SALVATO"), (QStringList{"SALVATO R001\t2024\t1\t1", "SALVATO A002\t2024\t1\t1"}));
    EXPECT_EQ(out.mid(out.indexOf("LOG \tRIEPILOGO: gruppi salvati 2 su 2\t\t-\tH"), 3),
              (QStringList{"LOG \tRIEPILOGO: gruppi salvati 2 su 2\t\t-\tH",
                           "LOG R001\tRossi & Figli S.r.l.  1/2024  periodo 1\tsalvato\t-\tH",
                           "LOG A002\tL'Àncora Società Cooperativa  1/2024  periodo 1\tsalvato\t-\tH"}));
    EXPECT_EQ(out.last(), "BOX information Importazione da kadro | Importazione terminata\\nGruppi salvati: 2 su 2 -> ok");

    // An unknown company ends the run: the group before it stays, and the exit code says so.
    scriviFile(cartella.filePath("lavoro/kadro.txt"), "1010;Cassa;10;12;31022024;1\r\n2010;Debiti;-10;12;31022024;1\r\n"
                                                      "1010;Cassa;10;77;31022024;1\r\n");
    EXPECT_EQ(importa(), 3);
    EXPECT_TRUE(err.contains("Importazione interrotta: 1 gruppi salvati su 2")) << err.toStdString();
    EXPECT_EQ(out.filter("SALVATO"), QStringList{"SALVATO R001\t2024\t2\t1"});
    EXPECT_TRUE(out.contains("BOX information Importazione valori PDC | Ditta 77 non trovata -> ok"));
    EXPECT_TRUE(out.contains("LOG \tDitta 77  2/2024 - ditta non trovata\tnon salvato\tE\t-"));
    scriviFile(cartella.filePath("lavoro/kadro.txt"), "1010;Cassa;10;77;31032024;1\r\n");
    EXPECT_EQ(importa(), 1);

    // A rate typed as the web writes it is the rate meant, and printed as it was read.
    scriviFile(cartella.filePath("lavoro/kadro.txt"), "1010;Cassa;2450;20;30112025;1\r\n2010;Debiti;-2450;20;30112025;1\r\n");
    opzioni.inputs = QStringList{"1.05"};
    EXPECT_EQ(importa(), 0);
    EXPECT_EQ(out.filter("BOX input").size(), 1);
    EXPECT_TRUE(out.filter("BOX input").value(0).endsWith(
        "Digitare il cambio per la ditta Caffè dell'Università S.p.A. per il periodo 11/2025 da applicare per la conversione "
        "USD ==> EUR :  -> 1.05 (letto come 1,05)"))
        << out.filter("BOX input").value(0).toStdString();
    EXPECT_EQ(scalar(global.Database().Connection(), "SELECT QD07_VALOREORIGINALE FROM QD07_VALORIPDC WHERE QD07_CODICECONTO = " +
                                                     StringaSQL("1010") + " AND QD07_CODICEDITTA_QD05 = " + StringaSQL("C003"))
                  .toDouble(),
              2333.3333);
}

// A trial run goes all the way and writes nothing: the real run after it prints the same
// lines, SALVATO where the trial printed PROVA, and both exit codes agree, committed or not.
class BatchProva : public ::testing::TestWithParam<QString> {};

TEST_P(BatchProva, DryRunPrintsWhatTheRealRunDoesAndLeavesTheDatabaseAsItWas)
{
    QTemporaryDir cartella;
    cartelle(cartella);
    scriviFile(cartella.filePath("app/Def/ROSSI"), "saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n");
    scriviFile(cartella.filePath("lavoro/saldi.txt"), "Conto;Descrizione;Saldo\r\n1010;Cassa;1500\r\n2999;Nuovo conto;-1400\r\n");
    TestDb db(GetParam());
    CGlobal global(db.open(), "EUR", "KTRTest", cartella.filePath("app"));
    Connection& c = global.Database().Connection();
    auto stato = [&] {
        return rowsOf(c, "SELECT * FROM QD07_VALORIPDC ORDER BY 1, 2, 3, 4, 5") + rowsOf(c, "SELECT * FROM QD21_PERVALUTA ORDER BY 1, 2, 3, 4") +
               rowsOf(c, "SELECT * FROM QD15_DEFPDC ORDER BY 1, 2") + rowsOf(c, "SELECT * FROM QD41_CAMBI ORDER BY 1, 2, 3");
    };
    BatchOptions opzioni;
    opzioni.workingFolder = cartella.filePath("lavoro");
    opzioni.company = "Rossi & Figli S.r.l.";
    opzioni.year = "2024";
    opzioni.month = "marzo";
    QString err;
    auto corsa = [&](bool prova, bool automatica, QStringList& out) {
        opzioni.prova = prova;
        return esegui([&] { return automatica ? Batch::importaEsportazione(global, opzioni, false) : Batch::save(global, opzioni); }, out, err);
    };

    // A save whose balance check fails (it still commits), then an automatic run that
    // posts two groups before an unknown company ends it.
    const QByteArray kadro = "1010;Cassa;10;12;31012024;1\r\n2010;Debiti;-10;12;31012024;1\r\n1010;Cassa;5;15;31012024;1\r\n"
                             "2010;Debiti;-5;15;31012024;1\r\n1010;Cassa;1;77;31012024;1\r\n";
    scriviFile(cartella.filePath("lavoro/kadro.txt"), kadro);
    for (const bool automatica : {false, true}) {
        SCOPED_TRACE(automatica ? "automatic" : "save");
        const QStringList prima = stato();
        QStringList prova, reale;
        const int esitoProva = corsa(true, automatica, prova);
        EXPECT_EQ(stato(), prima);
        EXPECT_FALSE(prova.filter(QRegularExpression("^PROVA ")).isEmpty());
        EXPECT_TRUE(prova.filter("SALVATO").isEmpty());
        EXPECT_EQ(corsa(false, automatica, reale), esitoProva);
        EXPECT_EQ(esitoProva, automatica ? 3 : 0);  // two groups saved, then the unknown company
        EXPECT_EQ(reale, prova.replaceInStrings(QRegularExpression("^PROVA "), "SALVATO "));
        EXPECT_NE(stato(), prima);
    }
}

INSTANTIATE_TEST_SUITE_P(Db, BatchProva, ::testing::ValuesIn(TestDb::backends()), TestDb::name<::testing::TestParamInfo<QString>>);
