#include "TestDb.h"
#include "XbrlProva.h"
#include "host/Batch.h"
#include "platform/host/CGlobal.h"
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace xbrlprova;

namespace {

class BatchXbrl : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto c = db.open();
        creaMappatura2018(*c);
    }
    // Runs the command; returns its exit code, its standard output in out and its errors in err.
    int importa(const QString& file, bool si)
    {
        CGlobal global(db.open(), "EUR", "KTRTest", cartella.path());
        BatchOptions opzioni;
        opzioni.file = file;
        opzioni.answerYes = si;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int codice = Batch::importaXbrl(global, opzioni);
        out = QString::fromStdString(testing::internal::GetCapturedStdout()).split('\n', Qt::SkipEmptyParts);
        err = QString::fromStdString(testing::internal::GetCapturedStderr()).split('\n', Qt::SkipEmptyParts);
        return codice;
    }

    QTemporaryDir cartella;
    TestDb db;
    QStringList out;
    QStringList err;
};

}  // namespace

TEST_F(BatchXbrl, ExitCodeTellsWhetherTheImportCommitted)
{
    const QString istanza = filing("ISTANZA02353550391.xbrl");
    // Registration refused: nothing saved.
    EXPECT_EQ(importa(istanza, false), 1);
    EXPECT_EQ(out.filter("BOX question").size(), 1);
    EXPECT_TRUE(out.last().startsWith("BOX exclamation")) << out.last().toStdString();
    EXPECT_EQ(err, QStringList{"Importazione non salvata"});

    ASSERT_EQ(importa(istanza, true), 0) << err.join('\n').toStdString();
    EXPECT_TRUE(out.contains("BOX question Importazione bilancio XBRL | Attenzione ditta - PUCCI S.R.L. - \\ncon Partita iva : "
                             "02353550391 non trovata.\\nCaricare automaticamente l'anagrafica ? -> yes"));
    EXPECT_TRUE(out.contains("LOG A-T-00-000-\tVoce TotaleAttivo - 2023\t36.525.362\t-\t-"));
    EXPECT_EQ(out.filter("EFFETTUATO CON SUCCESSO").size(), 2);
    EXPECT_TRUE(err.isEmpty());

    // A file that is no XML document: silent on screen, one line here.
    const QString rotto = cartella.filePath("rotto.xbrl");
    QFile f(rotto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<xbrl><context>");
    f.close();
    EXPECT_EQ(importa(rotto, true), 1);
    EXPECT_EQ(err, QStringList{"Impossibile leggere il file XBRL: " + rotto});
    EXPECT_EQ(out.size(), 1);  // the file box alone
}

// The command line itself, on every real filing.
TEST_F(BatchXbrl, KtrImportsEveryRealFiling)
{
    const QString ktr = QCoreApplication::applicationDirPath() + "/../ktr";
    if (!QFile::exists(ktr)) GTEST_SKIP() << "ktr not built next to the tests";
    for (const char* nome : {"03072020211-31122020-20210726110513.xbrl", "03072020211-31122021-20220530205759.xbrl",
                             "ISTANZA02353550391.xbrl"}) {
        SCOPED_TRACE(nome);
        QProcess p;
        p.start(ktr, {"--db", db.connectionString(), "--app-path", cartella.path(), "--import-xbrl", filing(nome), "--answer", "yes"});
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << stdOut.toStdString() << p.readAllStandardError().toStdString();
        EXPECT_TRUE(stdOut.contains("LOG \tImportazione terminata con successo\t\t-\tH"));
        EXPECT_FALSE(stdOut.contains("NON SUPERATO"));
    }
    // The second micro filing overwrote its company's 2020, answered Yes.
    auto c = db.open();
    EXPECT_EQ(scalar(*c, "SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 IN ('020211', '550391')").toInt(), 4);
}
