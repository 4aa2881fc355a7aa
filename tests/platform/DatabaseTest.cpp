#include "TestDb.h"
#include "platform/AppError.h"
#include "platform/Recordset.h"
#include "platform/SqlText.h"
#include <gtest/gtest.h>

// The database layer runs on every configured backend.
class DatabaseTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDb>(GetParam());
        conn = db->open();
    }
    std::unique_ptr<TestDb> db;
    std::unique_ptr<Connection> conn;
};

TEST_P(DatabaseTest, ReadsRowsForwardAndCountsThem)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM QD05_DITTA ORDER BY QD05_RAGIONESOCIALE"), *conn);
    EXPECT_EQ(rs.RecordCount(), 4);
    QStringList names;
    for (; !rs.Eof(); rs.MoveNext()) names << rs.value(QStringLiteral("qd05_ragionesociale")).toString();
    EXPECT_EQ(names.first(), QStringLiteral("Caffè dell'Università S.p.A."));
    EXPECT_THROW(rs.value(QStringLiteral("QD05_CODICEDITTA")), AppError);
    rs.Close();
    EXPECT_FALSE(rs.isOpen());

    rs.Open(QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_RAGIONESOCIALE=") +
                StringaSQL(ApiciSQL(QStringLiteral("L'Àncora Società Cooperativa"))),
            *conn);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.value(QStringLiteral("QD05_CODICEDITTA")).toString(), QStringLiteral("A002"));
    EXPECT_TRUE(rs.IsNull(QStringLiteral("QD05_CODICEVALUTA_QD40")));
    EXPECT_EQ(rs.value(QStringLiteral("QD05_CODICEKADRO")).toInt(), 15);
}

TEST_P(DatabaseTest, AddsUpdatesFiltersAndRequeries)
{
    Recordset chart;
    chart.Open(QStringLiteral("SELECT * FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04='STD' ORDER BY QD15_CODICEPDC_QD04"),
               *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    EXPECT_EQ(chart.DefinedSize(QStringLiteral("QD15_CODICECONTO")), 20);
    EXPECT_EQ(chart.DefinedSize(QStringLiteral("QD15_DESCRIZIONE")), 80);

    chart.Filter(QStringLiteral("QD15_CODICECONTO='1010'"));
    ASSERT_FALSE(chart.Eof());
    chart.setValue(QStringLiteral("QD15_DESCRIZIONE"), QStringLiteral("Cassa contanti"));
    chart.Update();

    chart.Filter(QStringLiteral("QD15_CODICECONTO='L''9'"));
    EXPECT_TRUE(chart.Eof());
    chart.AddNew();
    chart.setValue(QStringLiteral("QD15_CODICEPDC_QD04"), QStringLiteral("STD"));
    chart.setValue(QStringLiteral("QD15_CODICECONTO"), QStringLiteral("L'9"));
    chart.setValue(QStringLiteral("QD15_LIVELLO"), 1);
    chart.Update();
    chart.Filter(QStringLiteral("QD15_CODICECONTO='L''9'"));
    EXPECT_EQ(chart.RecordCount(), 1);  // a new row is found without a new query

    chart.Filter(QString());
    chart.AddNew();
    chart.setValue(QStringLiteral("QD15_CODICECONTO"), QStringLiteral("X"));
    chart.CancelUpdate();
    chart.Requery();
    EXPECT_EQ(chart.RecordCount(), 21);
    chart.Filter(QStringLiteral("QD15_CODICECONTO='1010'"));
    EXPECT_EQ(chart.value(QStringLiteral("QD15_DESCRIZIONE")).toString(), QStringLiteral("Cassa contanti"));
}

TEST_P(DatabaseTest, TableSourceWritesFlagsAndAmounts)
{
    Recordset periods;
    periods.Open(QStringLiteral("QD21_PERVALUTA"), *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    periods.AddNew();
    periods.setValue(QStringLiteral("QD21_CODICEDITTA_QD05"), QStringLiteral("R001"));
    periods.setValue(QStringLiteral("QD21_ANNO"), QStringLiteral("2025"));
    periods.setValue(QStringLiteral("QD21_MESE"), 12);
    periods.setValue(QStringLiteral("QD21_NPERIODO"), 1);
    periods.setValue(QStringLiteral("QD21_STORICO"), true);
    periods.setValue(QStringLiteral("QD21_CAMBIO"), 1.25);
    periods.Update();
    conn->Execute(QStringLiteral("UPDATE QD21_PERVALUTA SET QD21_CONSOLIDATO = 1 WHERE QD21_NPERIODO = 1"));

    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM QD21_PERVALUTA"), *conn);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("QD21_STORICO")).toInt(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("QD21_CONSOLIDATO")).toInt(), 1);
    EXPECT_DOUBLE_EQ(rs.value(QStringLiteral("QD21_CAMBIO")).toDouble(), 1.25);
}

TEST_P(DatabaseTest, MaxPeriodQueryGivesHighestPeriodPerMonth)
{
    for (const char* v : {"('R001','1010','2025',12,0,0,1,1,1)", "('R001','1010','2025',12,0,0,1,1,3)",
                          "('R001','1010','2025',11,0,0,1,1,2)", "('A002','1010','2025',12,0,0,1,1,5)"})
        conn->Execute(QStringLiteral("INSERT INTO QD07_VALORIPDC VALUES ") + QLatin1String(v));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT MaxPeriodo FROM qryMaxPeriodo WHERE QD07_CODICEDITTA_QD05='R001' AND QD07_ANNO='2025' AND QD07_MESE=12"),
            *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.value(QStringLiteral("MaxPeriodo")).toInt(), 3);
    rs.Close();
    rs.Open(QStringLiteral("SELECT MaxPeriodo FROM qryMaxPeriodo WHERE QD07_CODICEDITTA_QD05='R001' AND QD07_ANNO='2024' AND QD07_MESE=12"),
            *conn);
    EXPECT_TRUE(rs.Eof());
}

TEST_P(DatabaseTest, TransactionsRollBackAndErrorsAreCollected)
{
    conn->BeginTrans();
    conn->Execute(QStringLiteral("DELETE FROM QD15_DEFPDC"));
    conn->RollbackTrans();
    EXPECT_EQ(scalar(*conn, QStringLiteral("SELECT COUNT(*) FROM QD15_DEFPDC")).toInt(), 20);

    EXPECT_THROW(conn->Execute(QStringLiteral("DELETE FROM NO_SUCH_TABLE")), AppError);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_FALSE(conn->Errors().first().description.isEmpty());
    EXPECT_NE(conn->Errors().first().source, QStringLiteral("rs"));

    // Record-set failures carry the source "rs".
    Recordset rs;
    rs.Open(QStringLiteral("QD15_DEFPDC"), *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    rs.AddNew();
    rs.setValue(QStringLiteral("QD15_CODICEPDC_QD04"), QStringLiteral("STD"));
    rs.setValue(QStringLiteral("QD15_CODICECONTO"), QStringLiteral("1010"));  // already there
    EXPECT_THROW(rs.Update(), AppError);
    EXPECT_EQ(conn->Errors().first().source, QStringLiteral("rs"));

    // Bracketed names run on every backend.
    conn->Execute(QStringLiteral("INSERT INTO [QD78_FOOTNOTE] ([QD78_CODICEDITTA_QD05],[QD78_ANNO],[QD78_MESE],"
                                 "[QD78_NPERIODO],[QD78_ID_QD77],[QD78_FOOTNOTE]) Values ('R001','2025',12,1,1,'a [b]')"));
    EXPECT_EQ(scalar(*conn, QStringLiteral("SELECT QD78_FOOTNOTE FROM QD78_FOOTNOTE")).toString(), QStringLiteral("a [b]"));
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::ValuesIn(TestDb::backends()),
                         [](const auto& info) { return info.param.toStdString(); });
