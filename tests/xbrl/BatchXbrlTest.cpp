#include "XbrlFixture.h"
#include <QCoreApplication>
#include <QProcess>

using namespace xbrlprova;

// ktr --import-xbrl on a database holding the tests' mapping: the exit code tells
// whether the import was saved; every real filing goes through.
TEST(BatchXbrl, KtrImportsEveryRealFilingAndExitsNonZeroWhenNothingIsSaved)
{
    const QString ktr = QCoreApplication::applicationDirPath() + "/../ktr";
    if (!QFile::exists(ktr)) GTEST_SKIP() << "ktr not built next to the tests";
    TestDb db;
    creaMappatura2018(*db.open());
    QTemporaryDir cartella;
    const QString rotto = cartella.filePath("rotto.xbrl");
    QFile f(rotto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("<xbrl><context>") > 0);
    f.close();
    QString out, err;
    auto ktrImporta = [&](const QString& file, const char* risposta) {
        QProcess p;
        p.start(ktr, {"--db", db.connectionString(), "--app-path", cartella.path(), "--import-xbrl", file, "--answer", risposta});
        EXPECT_TRUE(p.waitForFinished(60000));
        out = QString::fromUtf8(p.readAllStandardOutput());
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };

    EXPECT_EQ(ktrImporta(rotto, "yes"), 1);  // its box on screen, one line here
    EXPECT_TRUE(("\n" + err).endsWith("\nImpossibile leggere il file XBRL: " + rotto + "\n") && !err.contains("non salvata")) << err.toStdString();
    EXPECT_EQ(ktrImporta(filing("ISTANZA02353550391.xbrl"), "no"), 1);  // registration refused
    EXPECT_TRUE(out.contains("BOX exclamation Importazione valori PDC | Elaborazione interrotta -> ok")) << out.toStdString();
    EXPECT_TRUE(("\n" + err).endsWith("\nImportazione non salvata\n")) << err.toStdString();

    for (const char* nome : {"03072020211-31122020-20210726110513.xbrl", "03072020211-31122021-20220530205759.xbrl",
                             "ISTANZA02353550391.xbrl"}) {
        SCOPED_TRACE(nome);
        EXPECT_EQ(ktrImporta(filing(nome), "yes"), 0) << out.toStdString() << err.toStdString();
        EXPECT_FALSE(err.contains("Importazione"));
        EXPECT_TRUE(out.contains("LOG \tImportazione terminata con successo\t\t-\tH"));
        EXPECT_EQ(out.count("EFFETTUATO CON SUCCESSO"), QString(nome).contains("-31122020-") ? 1 : 2);
    }
    EXPECT_TRUE(out.contains("BOX question Importazione bilancio XBRL | Attenzione ditta - PUCCI S.R.L. - \\ncon Partita iva : "
                             "02353550391 non trovata.\\nCaricare automaticamente l'anagrafica ? -> yes"));
    EXPECT_TRUE(out.contains("LOG A-T-00-000-\tVoce TotaleAttivo - 2023\t36.525.362\t-\t-"));
    // The second micro filing overwrote its company's 2020, answered Yes.
    EXPECT_EQ(scalar(*db.open(), "SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 IN ('020211', '550391')").toInt(), 4);
}
