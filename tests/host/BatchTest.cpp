#include "TestDb.h"
#include "host/Batch.h"
#include "host/BatchDialogs.h"
#include "host/HostSetup.h"
#include "model/Provenienza.h"
#include "model/Schema.h"
#include "platform/runtime/AppError.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Rossi = QStringLiteral("Rossi & Figli S.r.l.");

// The folders of a run: the automatic import's definition, and ROSSI's balances after a header line.
void cartelle(const QTemporaryDir& cartella)
{
    QDir().mkpath(cartella.filePath("app/Def"));
    QDir().mkpath(cartella.filePath("lavoro"));
    scriviFile(cartella.filePath("app/Def/QDMSIT"), "kadro.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n"
                                                    "C5\t4\t0\t0\r\nC6\t5\t0\t0\r\nC7\t6\t0\t0\r\n");
    scriviFile(cartella.filePath("app/Def/ROSSI"),
               "saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n");
}

// The save and the automatic import run in this process: exit code, output lines, errors.
class BatchSave : public ::testing::Test {
protected:
    virtual QString backend() const { return QStringLiteral("sqlite"); }
    void SetUp() override
    {
        SALTA_SENZA(backend());
        cartelle(cartella);
        dati("1010;Cassa;1500;A\r\n2010;Debiti;-1500;P\r\n");
        db = std::make_unique<TestDb>(backend());
        global = std::make_unique<CGlobal>(db->open(), "EUR", "KTRTest", cartella.filePath("app"));
        opzioni.workingFolder = cartella.filePath("lavoro");
        opzioni.company = Rossi;
        opzioni.year = "2024";
        opzioni.month = "marzo";
    }
    void scrivi(const QString& nome, const QByteArray& content) { scriviFile(cartella.filePath(nome), content); }
    void dati(const QByteArray& righe) { scrivi("lavoro/saldi.txt", "Conto;Descrizione;Saldo;Sezione\r\n" + righe); }
    Connection& conn() { return global->Database().Connection(); }

    int esegui(const std::function<int()>& comando)
    {
        const Uscita u = catturata(comando);
        out = u.out;
        err = u.err;
        return u.codice;
    }
    int salva() { return esegui([&] { return Batch::save(*global, opzioni); }); }
    int importa() { return esegui([&] { return Batch::importaEsportazione(*global, opzioni, false); }); }

    QTemporaryDir cartella;
    std::unique_ptr<TestDb> db;
    std::unique_ptr<CGlobal> global;
    BatchOptions opzioni;
    QStringList out;
    QString err;
};
using BatchAutomatica = BatchSave;

}  // namespace

TEST_F(BatchSave, PrintsBoxesAndLogRowsAndExitsNonZeroOnFailureOrUnknownChoices)
{
    ASSERT_EQ(salva(), 0) << err.toStdString();
    EXPECT_EQ(out.filter("BOX "), (QStringList{"BOX information Importazione da kadro | Importazione terminata -> ok"}));
    EXPECT_EQ(out.filter("LOG ").size(), 4);
    EXPECT_TRUE(out.contains("LOG 2010\tDebiti\t-1.500\t-\t-"));

    // Answered No: a new period.
    dati("1010;Cassa;100;A\r\n");
    ASSERT_EQ(salva(), 0);
    EXPECT_TRUE(out.contains("BOX question Importazione valori PDC | Valori gia' presenti per \\nquesto periodo, Ricopro ? -> no"));
    EXPECT_TRUE(out.contains("LOG \tVERIFICA QUADRATURA NON SUPERATO.\t\tE\t-"));

    // Overwrite: the list comes back on 7 and on a text that is no period; out of answers, nothing is saved.
    opzioni.answerYes = true;
    opzioni.inputs = QStringList{"7", "x"};
    const QVariant prima = scalar(conn(), "SELECT COUNT(*) FROM QD07_VALORIPDC");
    EXPECT_EQ(salva(), 1);
    EXPECT_EQ(out.filter("BOX input Selezione Periodo").size(), 3);
    EXPECT_EQ(out.filter("BOX input Selezione Periodo | 'x' non è un periodo da ricoprire").size(), 1);
    EXPECT_EQ(out.filter("BOX critical"),
              QStringList{"BOX critical Importazione valori PDC | Importazione annullata: nessun periodo scelto da ricoprire. -> ok"});
    EXPECT_EQ(scalar(conn(), "SELECT COUNT(*) FROM QD07_VALORIPDC"), prima);

    opzioni.company = "Nessuna";
    EXPECT_EQ(salva(), 2);
    EXPECT_TRUE(err.contains("Ditta non trovata")) << err.toStdString();
    opzioni.company = Rossi;
    opzioni.month = "Marzolino";
    EXPECT_EQ(salva(), 2);
    EXPECT_TRUE(err.contains("Mese non trovato")) << err.toStdString();
}

// Boxes shown on the way do not decide the exit code: only the import's commit does.
TEST_F(BatchSave, ExitCodeFollowsTheCommitAndTheSavedPeriodIsPrinted)
{
    // Fixed width with the amount's cut reversed cuts no amount: refused before anything is written.
    scrivi("app/Def/ROSSI", "saldi.txt\r\n0\r\n0\r\n0\r\n0\r\n1\r\nC1\t0\t1\t4\r\nC2\t0\t10\t5\r\n");
    scrivi("lavoro/saldi.txt", "1010      100\r\n2010      -100\r\n");
    EXPECT_EQ(salva(), 1);
    EXPECT_EQ(out.filter("BOX critical"), QStringList{"BOX critical Importazione valori PDC | Il file di definizione ROSSI dà alla "
                                                      "colonna C2 lunghezza -4 (dalla posizione 10 alla 5): impossibile importare. -> ok"});
    EXPECT_EQ(scalar(conn(), "SELECT COUNT(*) FROM QD21_PERVALUTA").toInt(), 0);

    scrivi("app/Def/ROSSI", "saldi.txt\r\n0\r\n0\r\n0\r\n0\r\n1\r\nC1\t0\t1\t4\r\nC2\t0\t5\t20\r\n");
    ASSERT_EQ(salva(), 0) << err.toStdString();
    EXPECT_TRUE(out.contains("SALVATO R001\t2024\t3\t1"));

    EXPECT_EQ(salva(), 0);
    EXPECT_TRUE(out.contains("SALVATO R001\t2024\t3\t2"));
    EXPECT_EQ(scalar(conn(), "SELECT COUNT(*) FROM QD21_PERVALUTA").toInt(), 2);
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

// The automatic import names every group it committed, ends with its summary rows, and
// its exit code says whether all, none or some groups were saved.
TEST_F(BatchAutomatica, PrintsEachGroupAndExitsByHowManyWereSaved)
{
    // An unknown company fails its own group, named in the summary, and the run goes on; the
    // exit code says that some groups were saved.
    scrivi("lavoro/kadro.txt", "1010;Cassa;10;12;31012024;1\r\n2010;Debiti;-10;12;31012024;1\r\n1010;Cassa;10;77;31012024;1\r\n"
                               "1010;Cassa;5;15;31012024;1\r\n2010;Debiti;-5;15;31012024;1\r\n");
    EXPECT_EQ(importa(), 3);
    EXPECT_TRUE(err.contains("Importazione non salvata per tutti i gruppi: 2 gruppi salvati su 3")) << err.toStdString();
    EXPECT_EQ(out.filter("SALVATO"), (QStringList{"SALVATO R001\t2024\t1\t1", "SALVATO A002\t2024\t1\t1"}));
    EXPECT_EQ(out.mid(out.indexOf("LOG \tRIEPILOGO: gruppi salvati 2 su 3\t\t-\tH") + 1),
              (QStringList{"LOG R001\tRossi & Figli S.r.l.  1/2024  periodo 1\tsalvato\t-\tH",
                           "LOG \tDitta 77  1/2024 - ditta 77 non trovata\tnon salvato\tE\t-",
                           "LOG A002\tL'Àncora Società Cooperativa  1/2024  periodo 1\tsalvato\t-\tH",
                           "BOX information Importazione da kadro | Importazione terminata\\nGruppi salvati: 2 su 3 -> ok"}));
    scrivi("lavoro/kadro.txt", "1010;Cassa;10;77;31032024;1\r\n");
    EXPECT_EQ(importa(), 1);

    // All saved; a rate typed as the web writes it is printed as it was read.
    scrivi("lavoro/kadro.txt", "1010;Cassa;2450;20;30112025;1\r\n2010;Debiti;-2450;20;30112025;1\r\n");
    opzioni.inputs = QStringList{"1.05"};
    EXPECT_EQ(importa(), 0);
    EXPECT_EQ(out.filter("BOX input"), QStringList{"BOX input Richiesta cambio valuta | Digitare il cambio per la ditta Caffè "
                                                   "dell'Università S.p.A. per il periodo 11/2025 da applicare per la conversione "
                                                   "USD ==> EUR :  -> 1.05 (letto come 1,05)"});
}

// A trial run goes all the way and writes nothing: the real run after it prints the same
// lines, SALVATO where the trial printed PROVA, and both exit codes agree, committed or not.
class BatchProva : public BatchSave, public ::testing::WithParamInterface<QString> {
protected:
    QString backend() const override { return GetParam(); }
};

TEST_P(BatchProva, DryRunPrintsWhatTheRealRunDoesAndLeavesTheDatabaseAsItWas)
{
    // A save whose balance check fails (it still commits) and adds an account, then an
    // automatic run that posts two groups and fails an unknown company's.
    dati("1010;Cassa;1500;A\r\n2999;Nuovo conto;-1400;P\r\n");
    scrivi("lavoro/kadro.txt", "1010;Cassa;10;12;31012024;1\r\n2010;Debiti;-10;12;31012024;1\r\n1010;Cassa;5;15;31012024;1\r\n"
                               "2010;Debiti;-5;15;31012024;1\r\n1010;Cassa;1;77;31012024;1\r\n");
    auto stato = [&] {
        return tabelle(conn(), {"QD07_VALORIPDC", "QD21_PERVALUTA", "QD15_DEFPDC", "QD41_CAMBI", "QD22_IMPORTAZIONI"});
    };
    for (const bool automatica : {false, true}) {
        SCOPED_TRACE(automatica ? "automatic" : "save");
        const QStringList prima = stato();
        opzioni.prova = true;
        const int esitoProva = automatica ? importa() : salva();
        QStringList prova = out;
        EXPECT_EQ(stato(), prima);
        EXPECT_FALSE(prova.filter(QRegularExpression("^PROVA ")).isEmpty());
        EXPECT_TRUE(prova.filter("SALVATO").isEmpty());
        opzioni.prova = false;
        EXPECT_EQ(automatica ? importa() : salva(), esitoProva);
        EXPECT_EQ(esitoProva, automatica ? 3 : 0);  // two groups saved, then the unknown company
        EXPECT_EQ(out, prova.replaceInStrings(QRegularExpression("^PROVA "), "SALVATO "));
        EXPECT_NE(stato(), prima);
    }
}

SU_OGNI_BACKEND(Db, BatchProva);

// The stored periods from the command line: listed with their provenance (a database made
// before it was kept gains the table on opening, and its periods say so), exported as a
// file that a definition imports back to the same values, and deleted in one transaction
// that leaves the chart and records the deletion; a trial deletion deletes nothing.
TEST_P(BatchProva, StoredPeriodsAreListedExportedReimportedAndDeleted)
{
    ASSERT_EQ(salva(), 0);  // period 1, then made "old": no provenance, no table
    conn().Execute("DROP TABLE QD22_IMPORTAZIONI");
    Schema::completa(conn());
    Schema::completa(conn());
    dati("1010;Cassa;1500,25;A\r\n2010;Debiti;-1400;P\r\n");
    ASSERT_EQ(salva(), 0);  // period 2, answered No; it does not square by 100,25
    opzioni.year = "2024";
    opzioni.month = {};

    ASSERT_EQ(esegui([&] { return Batch::elencaPeriodi(*global, opzioni); }), 0);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], "R001\t" + Rossi + "\t2024\t3\t1\tMarzo/2024 (Periodo n° 1)\tEUR\t1\t2\t\t\tprovenienza non registrata");
    const QStringList campi = out[1].split('\t');
    ASSERT_EQ(campi.size(), 19) << out[1].toStdString();
    EXPECT_EQ(campi.mid(0, 13), (QStringList{"R001", Rossi, "2024", "3", "2", "Marzo/2024 (Periodo n° 2)", "EUR", "1", "2",
                                             "non superata", "100,25", "testo", QDir(cartella.filePath("lavoro")).filePath("saldi.txt")}));
    EXPECT_EQ(campi.mid(13, 3).join('|'), impronta(cartella.filePath("lavoro/saldi.txt")) + "|ROSSI");
    EXPECT_TRUE(QDateTime::fromString(campi[16], Qt::ISODateWithMs).isValid());
    EXPECT_EQ(campi.mid(17), (QStringList{Provenienza::utenteSistema(), "riga di comando"}));
    opzioni.company = "Nessuna";
    EXPECT_EQ(Batch::elencaPeriodi(*global, opzioni), 2);
    opzioni.company = "ROSSI & FIGLI S.R.L.";
    opzioni.year = "2023";
    EXPECT_EQ(Batch::elencaPeriodi(*global, opzioni), 1);

    // Exported, and read back through a definition into another month: the same values.
    opzioni.year = "2024";
    opzioni.month = "3";
    opzioni.period = "2";
    const QString csv = cartella.filePath("lavoro/esportato.csv");
    ASSERT_EQ(Batch::esportaPeriodo(*global, opzioni, csv), 0);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QString::fromUtf8("\xEF\xBB\xBF" "Conto;Valore;Valore in valuta;Descrizione\r\n"
                                                                "1010;1500,25;1500,25;Cassa\r\n2010;-1400;-1400;Debiti\r\n"));
    scrivi("app/Def/ROSSI", "esportato.csv\r\n1;\r\n0\r\n0\r\n0\r\n2\r\nC1\t1\t0\t0\r\nC2\t2\t0\t0\r\n");
    opzioni.month = "Aprile";
    ASSERT_EQ(salva(), 0);
    const QString valori = "SELECT QD07_CODICECONTO, QD07_VALOREORIGINALE, QD07_VALOREINVALUTA FROM QD07_VALORIPDC WHERE "
                           "QD07_MESE = ? AND QD07_NPERIODO = ? ORDER BY 1";
    EXPECT_EQ(rowsOf(conn(), valori, {4, 1}), rowsOf(conn(), valori, {3, 2}));
    EXPECT_EQ(rowsOf(conn(), valori, {4, 1}).size(), 2);

    // A trial deletion says what it would delete; the deletion does it, once.
    opzioni.month = "marzo";
    const auto righe = [&](const char* sql) { return rowsOf(conn(), sql); };
    const QStringList piano = righe("SELECT * FROM QD15_DEFPDC ORDER BY 1, 2"), prima = righe("SELECT * FROM QD22_IMPORTAZIONI");
    for (const bool prova : {true, false}) {
        opzioni.prova = prova;
        EXPECT_EQ(esegui([&] { return Batch::eliminaPeriodo(*global, opzioni); }), 0);
        EXPECT_EQ(out, QStringList{(prova ? "PROVA" : "ELIMINATO") + QString(" R001\t2024\t3\t2\t2")});
        EXPECT_EQ(righe("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_MESE = 3 AND QD07_NPERIODO = 2"), QStringList{prova ? "2" : "0"});
        EXPECT_EQ(righe("SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_MESE = 3 AND QD21_NPERIODO = 2"), QStringList{prova ? "1" : "0"});
    }
    EXPECT_EQ(righe("SELECT * FROM QD15_DEFPDC ORDER BY 1, 2"), piano);
    const QStringList registrate = righe("SELECT QD22_MESE, QD22_NPERIODO, QD22_TIPO, QD22_NUMVALORI, QD22_ORIGINE FROM QD22_IMPORTAZIONI "
                                         "ORDER BY QD22_DATAORA");
    EXPECT_EQ(registrate.size(), prima.size() + 1);
    EXPECT_EQ(registrate.last(), "3|2|eliminazione|2|riga di comando");
    EXPECT_EQ(Batch::eliminaPeriodo(*global, opzioni), 2);  // no longer there
    opzioni.period = "x";
    EXPECT_EQ(Batch::esportaPeriodo(*global, opzioni, csv), 2);
}

// SIGKILL at random moments of a large import, the commit included: the database stays
// sound and the period is there whole or not at all. KTR_CRASH_KILLS sets how many.
TEST(Crash, AKilledImportLeavesThePeriodWholeOrAbsent)
{
    const int uccisioni = qEnvironmentVariableIsSet("KTR_CRASH_KILLS") ? qEnvironmentVariableIntValue("KTR_CRASH_KILLS") : 10;
    const int righe = 100000;
    QTemporaryDir dir;
    cartelle(dir);
    QByteArray dati = "Conto;Descrizione;Saldo;Sezione\r\n";
    dati.reserve(righe * 30);
    // Accounts of the chart with their correlations: no anomaly rows, whose count is 16-bit.
    for (int i = 0; i < righe; ++i) dati += i % 2 ? "2010;Debiti verso fornitori;-1,25;P\r\n" : "1010;Cassa;1,25;A\r\n";
    scriviFile(dir.filePath("lavoro/saldi.txt"), dati);

    const QString db = dir.filePath("analisi.sqlite"), prova = dir.filePath("prova.sqlite");
    HostSetup::createDatabase(db);
    QFile::copy(db, prova);
    auto argomenti = [&](const QString& database) {
        return QStringList{"--db", database, "--app-path", dir.filePath("app"), "--working-folder", dir.filePath("lavoro"),
                           "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save", "--answer", "yes"};
    };

    QElapsedTimer tempo;
    tempo.start();
    const Uscita intera = attendi(avviaKtr(argomenti(prova), dir.path()));
    ASSERT_EQ(intera.codice, 0) << intera.err.toStdString();
    const qint64 durata = tempo.elapsed();

    // Every other run starts from a database without the period, so that kills before the
    // first commit are as frequent as kills of an overwrite.
    const QString vuoto = dir.filePath("vuoto.sqlite");
    QFile::copy(db, vuoto);
    int interrotte = 0, presenti = 0;
    for (int k = 0; k < uccisioni; ++k) {
        if (k % 2 == 0) {
            QFile::remove(db);
            QFile::remove(db + "-journal");  // a killed run's journal belongs to the old file
            QFile::copy(vuoto, db);
        }
        std::unique_ptr<QProcess> p(avviaKtr(argomenti(db), dir.path()));
        const int attesa = int(QRandomGenerator::global()->bounded(qint64(durata * 12 / 10) + 1));
        if (!p->waitForFinished(attesa)) {
            p->kill();  // SIGKILL
            ++interrotte;
        }
        p->waitForFinished(120000);

        Connection c(db);
        SCOPED_TRACE(QStringLiteral("uccisione %1 dopo %2 ms").arg(k).arg(attesa).toStdString());
        ASSERT_EQ(scalar(c, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const int valori = scalar(c, "SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = " + StringaSQL("R001")).toInt();
        const int periodi = scalar(c, "SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = " + StringaSQL("R001")).toInt();
        ASSERT_TRUE((valori == 0 && periodi == 0) || (valori == righe && periodi == 1)) << valori << " values, " << periodi << " periods";
        presenti += valori == righe;
    }
    std::printf("%d uccisioni su %d esecuzioni (%lld ms per esecuzione intera); periodo presente dopo %d, assente dopo %d\n",
                interrotte, uccisioni, durata, presenti, uccisioni - presenti);
}

// Users at once on one PostgreSQL database, each a ktr of its own: four companies import
// together and every value of each is there; two imports of one company and month at once
// take a period each (the second waits for the first, is told the month has values and
// is given the next period), each whole. How much faster together is bench_import's.
TEST(Contemporanee, ImportsAtOnceEachCompleteAndNeverInOnePeriod)
{
    SALTA_SENZA("postgresql");
    QTemporaryDir dir;
    cartelle(dir);
    const int righe = 3000;
    QByteArray dati = "Conto;Descrizione;Saldo;Sezione\r\n";
    for (int i = 0; i < righe; ++i) dati += i % 2 ? "2010;Debiti verso fornitori;-1,25;P\r\n" : "1010;Cassa;1,25;A\r\n";
    scriviFile(dir.filePath("lavoro/saldi.txt"), dati);
    TestDb db(QStringLiteral("postgresql"));
    auto c = db.open();
    const QString ditte = "(?, ?, ?, ?)";
    const QVariantList codici{"R001", "A002", "B005", "V006"};
    c->Esegui("UPDATE QD05_DITTA SET QD05_CODIMPORTAZIONE = ?, QD05_CODICEVALUTA_QD40 = ? WHERE QD05_CODICEDITTA IN " + ditte,
              QVariantList{"ROSSI", "EUR"} + codici);
    const auto importa = [&](const QStringList& nomi) {
        std::vector<QProcess*> processi;
        for (const QString& nome : nomi)
            processi.push_back(avviaKtr({"--db", db.connectionString(), "--app-path", dir.filePath("app"), "--working-folder",
                                         dir.filePath("lavoro"), "--company", nome, "--year", "2024", "--month", "Marzo", "--save",
                                         "--answer", "no"},
                                        dir.path()));
        for (QProcess* p : processi) {
            const Uscita u = attendi(p);
            EXPECT_EQ(u.codice, 0) << u.err.toStdString();
        }
    };
    const QString valori = "SELECT QD07_CODICEDITTA_QD05, QD07_NPERIODO, COUNT(*), SUM(QD07_VALOREORIGINALE) FROM QD07_VALORIPDC "
                           "WHERE QD07_CODICEDITTA_QD05 IN " + ditte + " GROUP BY 1, 2 ORDER BY 1, 2";
    importa(rowsOf(*c, "SELECT QD05_RAGIONESOCIALE FROM QD05_DITTA WHERE QD05_CODICEDITTA IN " + ditte, codici));
    EXPECT_EQ(rowsOf(*c, valori, codici), (QStringList{"A002|1|3000|0", "B005|1|3000|0", "R001|1|3000|0", "V006|1|3000|0"}));

    importa({Rossi, Rossi});
    EXPECT_EQ(rowsOf(*c, valori, codici),
              (QStringList{"A002|1|3000|0", "B005|1|3000|0", "R001|1|3000|0", "R001|2|3000|0", "R001|3|3000|0", "V006|1|3000|0"}));
    EXPECT_EQ(rowsOf(*c, "SELECT QD21_NPERIODO FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = ? ORDER BY 1", {"R001"}),
              (QStringList{"1", "2", "3"}));
}

// An empty database name, a year of other than four digits or a currency of other than
// three letters is refused with exit 2 before any database is opened; a missing database
// is named and not created (only the demo database is made, and never over a file), and a
// file that is no database is explained.
TEST(CommandLine, ValuesAreCheckedBeforeAnythingIsOpened)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("nuovo/analisi.sqlite"), manca = dir.filePath("manca.sqlite"), falso = dir.filePath("falso.sqlite");
    HostSetup::createDatabase(db);
    EXPECT_THROW(HostSetup::createDatabase(db), AppError);
    scriviFile(falso, "non sono un database");
    const QList<std::pair<QStringList, QString>> casi = {
        {{"--db", manca, "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save"}, manca + " non esiste"},
        {{"--db", falso, "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save"}, "non è un database di analisi"},
        {{"--db", "", "--import-kadro"}, "--db è vuoto"},
        {{"--db", db, "--year", "2'--", "--company", Rossi, "--month", "Marzo", "--save"}, "Anno non valido"},
        {{"--db", db, "--year", "24", "--company", Rossi, "--month", "Marzo", "--save"}, "Anno non valido"},
        {{"--db", db, "--base-currency", "EUR' OR '1'='1", "--import-kadro"}, "Valuta di base non valida"},
    };
    for (const auto& [argomenti, messaggio] : casi) {
        const Uscita u = attendi(avviaKtr(argomenti, dir.path()));
        EXPECT_EQ(u.codice, 2) << argomenti.join(' ').toStdString();
        EXPECT_TRUE(u.err.contains(messaggio)) << argomenti.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(manca));
    EXPECT_FALSE(QDir(dir.filePath("data")).exists());  // no per-user default database for the empty name
}

// A connection lost while a group commits leaves its outcome unknown: that is said, never
// "not saved", which a run again would duplicate. Lost earlier, the group fails with its
// reason; either way the run ends there, every later group is named and no box is empty.
TEST_P(BatchProva, ALostConnectionNamesEveryGroupAndCallsNoStoredGroupUnsaved)
{
    if (GetParam() != QLatin1String("postgresql")) GTEST_SKIP() << "the connection to an SQLite file is never lost";
    scrivi("lavoro/kadro.txt", "1010;Cassa;10;12;31012024;1\r\n2010;Debiti;-10;12;31012024;1\r\n1010;Cassa;5;15;31012024;1\r\n"
                               "2010;Debiti;-5;15;31012024;1\r\n1010;Cassa;7;12;29022024;1\r\n2010;Debiti;-7;12;29022024;1\r\n");
    conn().Execute("CREATE FUNCTION cade() RETURNS trigger AS $$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); "
                   "RETURN NULL; END $$ LANGUAGE plpgsql");
    // A trigger's text takes no parameters: the company goes in through the escaping function.
    const QString ancora = StringaSQL(QStringLiteral("A002"));
    const QString momenti[][2] = {
        {"CREATE CONSTRAINT TRIGGER cade AFTER INSERT ON QD21_PERVALUTA DEFERRABLE INITIALLY DEFERRED FOR EACH ROW "
         "WHEN (NEW.QD21_CODICEDITTA_QD05 = " + ancora + ") EXECUTE FUNCTION cade()",
         "LOG A002\tL'Àncora Società Cooperativa  1/2024 - controllare il periodo 1\tesito del salvataggio non verificabile\tE\t-"},
        {"CREATE TRIGGER cade AFTER INSERT ON QD07_VALORIPDC FOR EACH ROW WHEN (NEW.QD07_CODICEDITTA_QD05 = " + ancora +
             ") EXECUTE FUNCTION cade()",
         "connessione. (terminating connection due to administrator command (57P01))\tnon salvato\tE\t-"},
    };
    for (const auto& [trigger, gruppo2] : momenti) {
        SCOPED_TRACE(trigger.toStdString());
        global = std::make_unique<CGlobal>(db->open(), "EUR", "KTRTest", cartella.filePath("app"));
        conn().Execute("DELETE FROM QD07_VALORIPDC");
        conn().Execute("DELETE FROM QD21_PERVALUTA");
        conn().Execute("DROP TRIGGER IF EXISTS cade ON QD21_PERVALUTA");
        conn().Execute(trigger);
        EXPECT_EQ(importa(), 3);
        const QStringList riepilogo = out.mid(out.indexOf("LOG \tRIEPILOGO: gruppi salvati 1 su 3\t\t-\tH"));
        ASSERT_EQ(riepilogo.size(), 6) << out.join('\n').toStdString();
        EXPECT_TRUE(riepilogo[1].endsWith("\tsalvato\t-\tH"));
        EXPECT_TRUE(riepilogo[2].startsWith("LOG A002\t") && riepilogo[2].endsWith(gruppo2)) << riepilogo[2].toStdString();
        EXPECT_EQ(riepilogo[3], "LOG R001\tRossi & Figli S.r.l.  2/2024 - importazione interrotta\tnon importato\tE\t-");
        EXPECT_EQ(riepilogo[4], "LOG \tImportazione interrotta al gruppo 2 di 3: connessione al database persa\t\tE\t-");
        EXPECT_TRUE(out.filter(QRegularExpression("^BOX \\w+ [^|]*\\|\\s*(\\\\n)?\\s*->")).isEmpty()) << out.join('\n').toStdString();
    }
    global = std::make_unique<CGlobal>(db->open(), "EUR", "KTRTest", cartella.filePath("app"));
    EXPECT_EQ(rowsOf(conn(), "SELECT QD07_CODICEDITTA_QD05, COUNT(*) FROM QD07_VALORIPDC GROUP BY 1"), QStringList{"R001|2"});
}
