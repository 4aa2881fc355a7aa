#include "TestDb.h"
#include "platform/AppError.h"
#include "platform/Recordset.h"
#include <gtest/gtest.h>

// Record-set writes, which on SQLite go straight to the engine: what is stored must be
// what the Qt driver stores, and failures must read as before, on every backend.
class ScrittureTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDb>(GetParam());
        conn = db->open();
        if (GetParam() == QLatin1String("sqlite")) {
            ASSERT_NE(conn->sqliteHandle(), nullptr);  // the direct path is the one under test
        }
    }
    QVariant campo(const QString& codice, const QString& colonna)
    {
        return scalar(*conn, QStringLiteral("SELECT %1 FROM QD05_DITTA WHERE QD05_CODICEDITTA='%2'").arg(colonna, codice));
    }
    std::unique_ptr<TestDb> db;
    std::unique_ptr<Connection> conn;
};

TEST_P(ScrittureTest, ValuesAreStoredAsTheDriverStoresThem)
{
    const QString indirizzo = QStringLiteral("Via dell'Àncora 1 – 10 €");
    Recordset rs;
    rs.Open(QStringLiteral("QD05_DITTA"), *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    auto scrivi = [&](const QString& codice, const QString& piva, const QString& cf) {
        rs.AddNew();
        rs.setValue(QStringLiteral("QD05_CODICEDITTA"), codice);
        rs.setValue(QStringLiteral("QD05_RAGIONESOCIALE"), QStringLiteral("Prova ") + codice);
        rs.setValue(QStringLiteral("QD05_PIVA"), piva);
        rs.setValue(QStringLiteral("QD05_CF"), cf);
        rs.setValue(QStringLiteral("QD05_INDIRIZZO"), indirizzo);
        rs.setValue(QStringLiteral("QD05_CAPITALESOCIALE"), 1234.5678);
        rs.setValue(QStringLiteral("QD05_VERSATO"), true);
        rs.setValue(QStringLiteral("QD05_CODICEKADRO"), qlonglong(7));
        rs.Update();
    };
    // A null text is NULL, an empty one is empty; the second row reuses the statement
    // and keeps nothing of the first.
    scrivi(QStringLiteral("T1"), QString(), QStringLiteral(""));
    scrivi(QStringLiteral("T2"), QStringLiteral("IT123"), QString());
    EXPECT_TRUE(campo(QStringLiteral("T1"), QStringLiteral("QD05_PIVA")).isNull());
    EXPECT_EQ(campo(QStringLiteral("T1"), QStringLiteral("QD05_CF IS NULL")).toInt(), 0);
    EXPECT_EQ(campo(QStringLiteral("T1"), QStringLiteral("QD05_CF")).toString(), QString());
    EXPECT_EQ(campo(QStringLiteral("T2"), QStringLiteral("QD05_PIVA")).toString(), QStringLiteral("IT123"));
    EXPECT_TRUE(campo(QStringLiteral("T2"), QStringLiteral("QD05_CF")).isNull());
    for (const QString& codice : {QStringLiteral("T1"), QStringLiteral("T2")}) {
        EXPECT_EQ(campo(codice, QStringLiteral("QD05_INDIRIZZO")).toString(), indirizzo);
        EXPECT_DOUBLE_EQ(campo(codice, QStringLiteral("QD05_CAPITALESOCIALE")).toDouble(), 1234.5678);
        EXPECT_EQ(campo(codice, QStringLiteral("QD05_VERSATO")).toInt(), 1);
        EXPECT_EQ(campo(codice, QStringLiteral("QD05_CODICEKADRO")).toInt(), 7);
    }

    // A refused row reports the engine's message as a record-set error; the next row goes in.
    EXPECT_THROW(scrivi(QStringLiteral("T1"), QString(), QString()), AppError);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_EQ(conn->Errors().first().source, QStringLiteral("rs"));
    if (GetParam() == QLatin1String("sqlite")) {
        EXPECT_EQ(conn->Errors().first().description, QStringLiteral("UNIQUE constraint failed: QD05_DITTA.QD05_CODICEDITTA"));
    }
    rs.CancelUpdate();
    scrivi(QStringLiteral("T3"), QString(), QString());
    EXPECT_EQ(campo(QStringLiteral("T3"), QStringLiteral("QD05_RAGIONESOCIALE")).toString(), QStringLiteral("Prova T3"));

    // Edits of an existing row by position.
    Recordset ditta;
    ditta.Open(QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_CODICEDITTA='T2'"), *conn, Recordset::adOpenStatic,
               Recordset::adLockOptimistic);
    ditta.setValue(ditta.fieldIndex(QStringLiteral("qd05_cf")), QStringLiteral("CF2"));
    ditta.Update();
    EXPECT_EQ(campo(QStringLiteral("T2"), QStringLiteral("QD05_CF")).toString(), QStringLiteral("CF2"));
}

TEST_P(ScrittureTest, FieldsByPositionAndFilterByText)
{
    Recordset chart;
    chart.Open(QStringLiteral("SELECT * FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04='STD' ORDER BY QD15_CODICEPDC_QD04"),
               *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    const int conto = chart.fieldIndex(QStringLiteral("qd15_codiceconto"));
    EXPECT_EQ(conto, chart.fieldIndex(QStringLiteral("QD15_CODICECONTO")));
    chart.AddNew();
    chart.setValue(chart.fieldIndex(QStringLiteral("QD15_CODICEPDC_QD04")), QStringLiteral("STD"));
    chart.setValue(conto, QStringLiteral("L'9"));
    chart.Update();

    // The same rows as the criterion with the quoted text.
    for (const QString& testo : {QStringLiteral("L'9"), QStringLiteral("1010"), QStringLiteral("nessuno")}) {
        chart.Filter(QStringLiteral("QD15_CODICECONTO='%1'").arg(QString(testo).replace(QLatin1Char('\''), QLatin1String("''"))));
        const long attesi = chart.RecordCount();
        chart.Filter(conto, testo);
        EXPECT_EQ(chart.RecordCount(), attesi) << testo.toStdString();
        if (attesi > 0) {
            EXPECT_EQ(chart.value(conto).toString(), testo);
        }
    }
    chart.Filter(conto, QStringLiteral("L'9"));
    EXPECT_EQ(chart.RecordCount(), 1);
    try {
        chart.value(99);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3265);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ScrittureTest, ::testing::ValuesIn(TestDb::backends()),
                         [](const auto& info) { return info.param.toStdString(); });
