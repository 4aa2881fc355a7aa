#include "TestDb.h"
#include "platform/runtime/AppError.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include <gtest/gtest.h>
#include <tuple>
#include <utility>

// The database layer runs on every configured backend.
class DatabaseTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDb>(GetParam());
        conn = db->open();
        if (GetParam() == QLatin1String("sqlite")) {
            ASSERT_NE(conn->sqliteHandle(), nullptr);  // record-set writes take the direct path
        }
    }
    // A stored company as the engine gives its fields back as text, NULL marked as such.
    QString ditta(const QString& codice)
    {
        return scalar(*conn, QStringLiteral("SELECT QD05_RAGIONESOCIALE || '|' || QD05_INDIRIZZO || '|' || QD05_CAPITALESOCIALE || "
                                            "'|' || QD05_VERSATO || '|' || QD05_CODICEKADRO || '|' || COALESCE(QD05_PIVA, 'NULL') || "
                                            "'|' || COALESCE(QD05_CF, 'NULL') FROM QD05_DITTA WHERE QD05_CODICEDITTA=") +
                                 StringaSQL(codice))
            .toString();
    }
    std::unique_ptr<TestDb> db;
    std::unique_ptr<Connection> conn;
};

TEST_P(DatabaseTest, ReadsRowsForwardAndCountsThem)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM QD05_DITTA ORDER BY QD05_RAGIONESOCIALE"), *conn);
    EXPECT_EQ(rs.RecordCount(), 7);
    QStringList names;
    for (; !rs.Eof(); rs.MoveNext()) names << rs.value(QStringLiteral("qd05_ragionesociale")).toString();
    EXPECT_EQ(names.first(), QStringLiteral("Bianchi Costruzioni S.r.l."));
    EXPECT_THROW(rs.value(QStringLiteral("QD05_CODICEDITTA")), AppError);
    rs.Close();

    rs.Open(QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_RAGIONESOCIALE=") +
                StringaSQL(ApiciSQL(QStringLiteral("L'Àncora Società Cooperativa"))),
            *conn);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.value(QStringLiteral("QD05_CODICEDITTA")).toString(), QStringLiteral("A002"));
    EXPECT_TRUE(rs.IsNull(QStringLiteral("QD05_CODICEVALUTA_QD40")));
    EXPECT_EQ(rs.value(QStringLiteral("QD05_CODICEKADRO")).toInt(), 15);
}

// On SQLite record-set writes go straight to the engine: what is stored must be what the
// Qt driver stores, and failures must read as before, on every backend.
TEST_P(DatabaseTest, ValuesAreStoredAsTheDriverStoresThem)
{
    const QString indirizzo = QStringLiteral("Via dell'Àncora 1 – 10 €");
    const QString fissi = QLatin1Char('|') + indirizzo + QStringLiteral("|1234.5678|1|7|");
    Recordset rs;
    rs.Open(QStringLiteral("QD05_DITTA"), *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    auto scrivi = [&](const QString& codice, const QString& piva, const QString& cf) {
        rs.AddNew();
        const std::pair<const char*, QVariant> campi[] = {
            {"QD05_CODICEDITTA", codice}, {"QD05_RAGIONESOCIALE", QStringLiteral("Prova ") + codice}, {"QD05_PIVA", piva},
            {"QD05_CF", cf},              {"QD05_INDIRIZZO", indirizzo}, {"QD05_CAPITALESOCIALE", 1234.5678},
            {"QD05_VERSATO", true},       {"QD05_CODICEKADRO", qlonglong(7)}};
        for (const auto& [nome, valore] : campi) rs.setValue(QLatin1String(nome), valore);
        rs.Update();
    };
    // A null text is NULL, an empty one is empty; the second row reuses the statement
    // and keeps nothing of the first.
    scrivi(QStringLiteral("T1"), QString(), QStringLiteral(""));
    scrivi(QStringLiteral("T2"), QStringLiteral("IT123"), QString());
    EXPECT_EQ(ditta(QStringLiteral("T1")), QStringLiteral("Prova T1") + fissi + QStringLiteral("NULL|"));
    EXPECT_EQ(ditta(QStringLiteral("T2")), QStringLiteral("Prova T2") + fissi + QStringLiteral("IT123|NULL"));

    // A refused row reports the engine's message as a record-set error; the next row goes in.
    EXPECT_THROW(scrivi(QStringLiteral("T1"), QString(), QString()), AppError);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_EQ(conn->Errors().first().source, QStringLiteral("rs"));
    if (GetParam() == QLatin1String("sqlite")) {
        EXPECT_EQ(conn->Errors().first().description, QStringLiteral("UNIQUE constraint failed: QD05_DITTA.QD05_CODICEDITTA"));
    }
    rs.CancelUpdate();
    scrivi(QStringLiteral("T3"), QString(), QString());
    EXPECT_EQ(ditta(QStringLiteral("T3")), QStringLiteral("Prova T3") + fissi + QStringLiteral("NULL|NULL"));

    // Edits of an existing row, the field found by its name in any case.
    Recordset riga;
    riga.Open(QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_CODICEDITTA=") + StringaSQL(QStringLiteral("T2")), *conn, Recordset::adOpenStatic,
              Recordset::adLockOptimistic);
    riga.setValue(riga.fieldIndex(QStringLiteral("qd05_cf")), QStringLiteral("CF2"));
    riga.Update();
    EXPECT_EQ(ditta(QStringLiteral("T2")), QStringLiteral("Prova T2") + fissi + QStringLiteral("IT123|CF2"));
}

TEST_P(DatabaseTest, AddsUpdatesFiltersAndRequeries)
{
    Recordset chart;
    chart.Open(QStringLiteral("SELECT * FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04=") + StringaSQL(QStringLiteral("STD")) +
                   QStringLiteral(" ORDER BY QD15_CODICEPDC_QD04"),
               *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    const int conto = chart.fieldIndex(QStringLiteral("QD15_CODICECONTO"));

    chart.Filter(QStringLiteral("QD15_CODICECONTO=") + StringaSQL(QStringLiteral("1010")));
    ASSERT_FALSE(chart.Eof());
    chart.setValue(QStringLiteral("QD15_DESCRIZIONE"), QStringLiteral("Cassa contanti"));
    chart.Update();

    chart.AddNew();
    chart.setValue(chart.fieldIndex(QStringLiteral("QD15_CODICEPDC_QD04")), QStringLiteral("STD"));
    chart.setValue(conto, QStringLiteral("L'9"));
    chart.setValue(QStringLiteral("QD15_LIVELLO"), 1);
    chart.Update();

    // A new row is found without a new query, by the quoted criterion and by the text alike.
    for (const auto& [testo, attesi] :
         {std::pair{QStringLiteral("nessuno"), 0L}, {QStringLiteral("1010"), 1L}, {QStringLiteral("L'9"), 1L}}) {
        chart.Filter(QStringLiteral("QD15_CODICECONTO=") + StringaSQL(testo));
        EXPECT_EQ(chart.RecordCount(), attesi) << testo.toStdString();
        chart.Filter(conto, testo);
        EXPECT_EQ(chart.RecordCount(), attesi) << testo.toStdString();
        if (attesi > 0) {
            EXPECT_EQ(chart.value(conto).toString(), testo);
        }
    }
    try {
        chart.value(99);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3265);
    }

    chart.Filter(QString());
    chart.AddNew();
    chart.setValue(conto, QStringLiteral("X"));
    chart.CancelUpdate();
    chart.Requery();
    EXPECT_EQ(chart.RecordCount(), 21);
    chart.Filter(QStringLiteral("QD15_CODICECONTO=") + StringaSQL(QStringLiteral("1010")));
    EXPECT_EQ(chart.value(QStringLiteral("QD15_DESCRIZIONE")).toString(), QStringLiteral("Cassa contanti"));
}

TEST_P(DatabaseTest, MaxPeriodQueryGivesHighestPeriodPerMonth)
{
    for (const auto& [ditta, mese, periodo] : {std::tuple{"R001", 12, 1}, {"R001", 12, 3}, {"R001", 11, 2}, {"A002", 12, 5}})
        conn->Execute(QStringLiteral("INSERT INTO QD07_VALORIPDC VALUES (%1,%2,%3,%4,0,0,1,1,%5)")
                          .arg(StringaSQL(QLatin1String(ditta)), StringaSQL(QStringLiteral("1010")), StringaSQL(QStringLiteral("2025")))
                          .arg(mese)
                          .arg(periodo));
    auto massimo = [](const QString& anno) {
        return QStringLiteral("SELECT MaxPeriodo FROM qryMaxPeriodo WHERE QD07_CODICEDITTA_QD05=") + StringaSQL(QStringLiteral("R001")) +
               QStringLiteral(" AND QD07_ANNO=") + StringaSQL(anno) + QStringLiteral(" AND QD07_MESE=12");
    };
    Recordset rs;
    rs.Open(massimo(QStringLiteral("2025")), *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.value(QStringLiteral("MaxPeriodo")).toInt(), 3);
    rs.Close();
    rs.Open(massimo(QStringLiteral("2024")), *conn);
    EXPECT_TRUE(rs.Eof());
}

TEST_P(DatabaseTest, TransactionsRollBackAndErrorsAreCollected)
{
    conn->BeginTrans();
    conn->Execute(QStringLiteral("DELETE FROM QD15_DEFPDC"));
    conn->RollbackTrans();
    EXPECT_EQ(scalar(*conn, QStringLiteral("SELECT COUNT(*) FROM QD15_DEFPDC")).toInt(), 43);

    EXPECT_THROW(conn->Execute(QStringLiteral("DELETE FROM NO_SUCH_TABLE")), AppError);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_FALSE(conn->Errors().first().description.isEmpty());
    EXPECT_NE(conn->Errors().first().source, QStringLiteral("rs"));

    // Bracketed names run on every backend.
    conn->Execute(QStringLiteral("INSERT INTO [QD78_FOOTNOTE] ([QD78_CODICEDITTA_QD05],[QD78_ANNO],[QD78_MESE],"
                                 "[QD78_NPERIODO],[QD78_ID_QD77],[QD78_FOOTNOTE]) Values (") +
                  StringaSQL(QStringLiteral("R001")) + QLatin1Char(',') + StringaSQL(QStringLiteral("2025")) + QStringLiteral(",12,1,1,") +
                  StringaSQL(QStringLiteral("a [b]")) + QLatin1Char(')'));
    EXPECT_EQ(scalar(*conn, QStringLiteral("SELECT QD78_FOOTNOTE FROM QD78_FOOTNOTE")).toString(), QStringLiteral("a [b]"));
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, ::testing::ValuesIn(TestDb::backends()), TestDb::name<::testing::TestParamInfo<QString>>);
