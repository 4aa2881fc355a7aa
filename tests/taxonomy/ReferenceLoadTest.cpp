#include "TestDb.h"
#include "host/HostSetup.h"
#include "model/Schema.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every table the load writes, each sorted.
QStringList contents(Connection& c)
{
    return tabelle(c, {"QD50_XBRLANAG", "QD04_PDC", "QD15_DEFPDC", "QD02_DEFSCHEMA", "QD51_XBRLDEFANAG", "QD52_XBRLCORR", "QD77_FOOTNOTEDEF"});
}

int count(Connection& c, const QString& table, const QString& where = QString())
{
    return scalar(c, QString("SELECT COUNT(*) FROM %1 %2").arg(table, where)).toInt();
}

}  // namespace

class ReferenceDataTest : public ::testing::TestWithParam<QString> {};

TEST_P(ReferenceDataTest, LoadsEveryRowOnceAndLoadingAgainChangesNothing)
{
    SALTA_SENZA(GetParam());
    TestDb db(GetParam(), TestDb::Demo);
    const std::unique_ptr<Connection> conn = db.open();
    Schema::loadTaxonomy(*conn);
    EXPECT_EQ(count(*conn, "QD50_XBRLANAG"), 1);
    EXPECT_EQ(count(*conn, "QD04_PDC", "WHERE QD04_CODICEPDC IN ('97', '98', '99', '97CO')"), 4);
    EXPECT_EQ(count(*conn, "QD04_PDC"), 7);  // the demo charts stay
    const int mapped = scalar(*conn, "SELECT COUNT(DISTINCT QD52_PK_QD51) FROM QD52_XBRLCORR").toInt();
    EXPECT_EQ(count(*conn, "QD77_FOOTNOTEDEF"), mapped);

    const QStringList before = contents(*conn);
    Schema::loadTaxonomy(*conn);
    EXPECT_EQ(contents(*conn), before);
    EXPECT_EQ(conn->commits(), 2);  // one transaction each
}

SU_OGNI_BACKEND(Backends, ReferenceDataTest);

TEST(ReferenceData, NewDatabasesHaveIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("nuovo.sqlite");
    HostSetup::createDatabase(file);
    Connection c(file);
    EXPECT_EQ(scalar(c, "SELECT QD50_CODICE FROM QD50_XBRLANAG").toString(), "8");
    EXPECT_GT(count(c, "QD15_DEFPDC", "WHERE QD15_CODICEPDC_QD04 = '99'"), 0);
    EXPECT_EQ(count(c, "QD05_DITTA"), 7);  // and the demo data
}
