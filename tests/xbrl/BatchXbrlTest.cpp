#include "XbrlFixture.h"
#include <QProcess>
#include <QRegularExpression>

using namespace xbrlprova;

namespace {

const QString Reali[] = {"03072020211-31122020-20210726110513.xbrl", "03072020211-31122021-20220530205759.xbrl",
                         "ISTANZA02353550391.xbrl"};

// The real filing by an absolute path: the command runs elsewhere.
QString reale(int i) { return QFileInfo(filing(Reali[i])).absoluteFilePath(); }

// ktr --import-xbrl on the files, answering every question as told.
QProcess* avvia(const TestDb& db, const QString& app, const QStringList& file, const char* risposta)
{
    return avviaKtr(QStringList{"--db", db.connectionString(), "--app-path", app, "--answer", risposta, "--import-xbrl"} + file, app);
}

}  // namespace

// Exit codes as the automatic imports: 0 all saved, 1 none, 3 some.
TEST(BatchXbrl, KtrImportsFilesAndFoldersOneTransactionEachAndExitsAsTheAutomaticImports)
{
    TestDb db;
    creaMappatura2018(*db.open());
    QTemporaryDir cartella;
    const QString rotto = scriviFile(cartella.filePath("rotto.xbrl"), "<xbrl><context>");
    // A folder of filings, one in a subfolder: name order over the whole tree.
    ASSERT_TRUE(QDir().mkpath(cartella.filePath("lotto/b")));
    for (const auto& [i, dove] : {std::pair{0, "lotto/b/1.xbrl"}, {1, "lotto/c.xbrl"}, {2, "lotto/a.xbrl"}})
        ASSERT_TRUE(QFile::copy(reale(i), cartella.filePath(dove)));
    scriviFile(cartella.filePath("lotto/nota.txt"), {});
    // Entries that are no regular files: a dangling link (with a line break in its name) and a loop.
    const QString appeso = cartella.filePath("lotto/d\n.xbrl"), giro = cartella.filePath("lotto/giro.xbrl");
    ASSERT_TRUE(QFile::link(cartella.filePath("manca.xbrl"), appeso) && QFile::link(giro, giro));

    Uscita u = attendi(avvia(db, cartella.path(), {reale(2)}, "no"));  // registration refused
    EXPECT_EQ(u.codice, 1);
    EXPECT_TRUE(u.out.contains("BOX exclamation Importazione valori PDC | Elaborazione interrotta -> ok")) << u.out.join('\n').toStdString();
    EXPECT_TRUE(u.err.contains("Importazione non salvata: " + reale(2) + " (Elaborazione interrotta)")) << u.err.toStdString();

    u = attendi(avvia(db, cartella.path(), {cartella.filePath("lotto"), rotto}, "yes"));
    EXPECT_EQ(u.codice, 3) << u.out.join('\n').toStdString() << u.err.toStdString();
    EXPECT_EQ(u.out.filter(QRegularExpression("^FILE ")),
              (QStringList{"FILE " + cartella.filePath("lotto/a.xbrl") + "\t550391\t2023,2024\tSALVATO",
                           "FILE " + cartella.filePath("lotto/b/1.xbrl") + "\t020211\t2020\tSALVATO",
                           "FILE " + cartella.filePath("lotto/c.xbrl") + "\t020211\t2020,2021\tSALVATO",
                           "FILE " + cartella.filePath("lotto/d\\n.xbrl") + "\t\t\tNON SALVATO: non è un file regolare",
                           "FILE " + giro + "\t\t\tNON SALVATO: non è un file regolare",
                           "FILE " + rotto + "\t\t\tNON SALVATO: Il file " + rotto + " non è un documento XBRL leggibile"}));
    EXPECT_TRUE(u.err.contains("Importazione non salvata: " + cartella.filePath("lotto/d\\n.xbrl") + " (non è un file regolare)\n"));
    EXPECT_EQ(u.out.count("LOG \tImportazione terminata con successo\t\t-\tH"), 3);
    EXPECT_TRUE(u.out.contains("LOG A-T-00-000-\tVoce TotaleAttivo - 2023\t36.525.362\t-\t-"));
    // The summary names every file: company, years and outcome.
    const QStringList riepilogo = u.out.mid(u.out.indexOf("LOG \tRiepilogo: 6 file, 3 salvati, 3 non salvati\t\tE\t-"));
    ASSERT_GE(riepilogo.size(), 7) << u.out.join('\n').toStdString();
    EXPECT_EQ(riepilogo[1], "LOG 550391\ta.xbrl  2023, 2024\tsalvato\t-\tH");
    EXPECT_EQ(riepilogo[5], "LOG \tgiro.xbrl - non è un file regolare\tnon salvato\tE\t-");

    u = attendi(avvia(db, cartella.path(), {reale(0), reale(1)}, "yes"));  // both overwritten
    EXPECT_EQ(u.codice, 0) << u.err.toStdString();
}

// Two first imports of one filing at once on PostgreSQL: the second waits for the first
// and then finds the company it registered; neither fails on a duplicate key.
TEST(BatchXbrl, ImportsAtOnceEndCleanlyAndALostConnectionLeavesNoFileCalledUnsavedWrongly)
{
    SALTA_SENZA("postgresql");
    TestDb db("postgresql");
    creaMappatura2018(*db.open());
    QTemporaryDir cartella;
    for (int giro = 0; giro < 3; ++giro) {
        QProcess* a = avvia(db, cartella.path(), {reale(2)}, "yes");
        QProcess* b = avvia(db, cartella.path(), {reale(2)}, "yes");
        const Uscita ua = attendi(a), ub = attendi(b);
        for (const Uscita& u : {ua, ub}) {
            EXPECT_EQ(u.codice, 0) << u.out.join('\n').toStdString() << u.err.toStdString();
            EXPECT_FALSE((u.out.join('\n') + u.err).contains("duplicate key"));
        }
    }
    EXPECT_EQ(scalar(*db.open(), "SELECT COUNT(*) FROM QD05_DITTA WHERE QD05_PIVA = '02353550391'").toInt(), 1);
    EXPECT_EQ(scalar(*db.open(), "SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = '550391'").toInt(), 2);

    // The connection lost while a filing commits: maybe stored, so never "not saved"; the
    // filings after it are named, and the exit code says that the database may have changed.
    auto c = db.open();
    c->Execute("CREATE FUNCTION cade() RETURNS trigger AS $$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); "
               "RETURN NULL; END $$ LANGUAGE plpgsql");
    c->Execute("CREATE CONSTRAINT TRIGGER cade AFTER INSERT ON QD21_PERVALUTA DEFERRABLE INITIALLY DEFERRED FOR EACH ROW "
               "EXECUTE FUNCTION cade()");
    const Uscita u = attendi(avvia(db, cartella.path(), {reale(0), reale(1)}, "yes"));
    EXPECT_EQ(u.codice, 3) << u.out.join('\n').toStdString() << u.err.toStdString();
    const QStringList file = u.out.filter(QRegularExpression("^FILE "));
    ASSERT_EQ(file.size(), 2) << u.out.join('\n').toStdString();
    EXPECT_TRUE(file[0].endsWith("\tNON VERIFICABILE: esito del salvataggio non verificabile: controllare il periodo 1 di 12/2020 "
                                 "(connessione al database persa)"))
        << file[0].toStdString();
    EXPECT_TRUE(file[1].endsWith("\tNON SALVATO: non importato: connessione al database persa")) << file[1].toStdString();
    EXPECT_TRUE(u.out.filter(QRegularExpression("^BOX \\w+ [^|]*\\|\\s*->")).isEmpty()) << u.out.join('\n').toStdString();
}
