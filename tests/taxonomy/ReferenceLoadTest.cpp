#include "TestDb.h"
#include "host/HostSetup.h"
#include "model/Schema.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const Tables[][2] = {
    {"QD50_XBRLANAG", "QD50_VERSIONE"},
    {"QD04_PDC", "QD04_CODICEPDC"},
    {"QD15_DEFPDC", "QD15_CODICEPDC_QD04, QD15_CODICECONTO"},
    {"QD02_DEFSCHEMA", "QD02_CODICESCHEMA_QD01, QD02_VOCE"},
    {"QD51_XBRLDEFANAG", "QD51_VERSIONE, QD51_PK"},
    {"QD52_XBRLCORR", "QD52_VERSIONE, QD52_CODICEPDC_QD04, QD52_PK_QD51"},
    {"QD77_FOOTNOTEDEF", "QD77_VERSIONE, QD77_PK_QD51"},
};

QStringList contents(Connection& c)
{
    QStringList rows;
    for (const auto& [table, order] : Tables) rows += rowsOf(c, QString("SELECT * FROM %1 ORDER BY %2").arg(table, order));
    return rows;
}

int count(Connection& c, const QString& table, const QString& where = QString())
{
    return scalar(c, QString("SELECT COUNT(*) FROM %1 %2").arg(table, where)).toInt();
}

}  // namespace

class ReferenceDataTest : public ::testing::TestWithParam<QString> {};

TEST_P(ReferenceDataTest, LoadsEveryRowOnceAndLoadingAgainChangesNothing)
{
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

INSTANTIATE_TEST_SUITE_P(Backends, ReferenceDataTest, ::testing::ValuesIn(TestDb::backends()),
                         TestDb::name<::testing::TestParamInfo<QString>>);

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
