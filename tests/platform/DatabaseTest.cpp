#include "TestDb.h"
#include "platform/runtime/AppError.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <utility>

class DatabaseTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        SALTA_SENZA(GetParam());
        db = std::make_unique<TestDb>(GetParam());
        conn = db->open();
        if (GetParam() == "sqlite") { ASSERT_NE(conn->sqliteHandle(), nullptr); }  // record-set writes take the direct path
    }
    // A stored company as the engine gives its fields back as text, NULL marked as such.
    QString ditta(const QString& codice)
    {
        QSqlQuery q(conn->database());
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        q.prepare("SELECT QD05_RAGIONESOCIALE, QD05_INDIRIZZO, QD05_CAPITALESOCIALE, QD05_VERSATO, QD05_CODICEKADRO, QD05_PIVA, "
                  "QD05_CF FROM QD05_DITTA WHERE QD05_CODICEDITTA = ?");
        q.addBindValue(codice);
        if (!q.exec() || !q.next()) return {};
        QStringList campi;
        for (int i = 0; i < 7; ++i) campi << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
        return campi.join('|');
    }
    std::unique_ptr<TestDb> db;
    std::unique_ptr<Connection> conn;
};

// Rows written one by one are stored as the driver stores them (on SQLite they go straight
// to the engine): a null text is NULL, an empty one empty, a row keeps nothing of the one
// before, a refused row is a record-set error and the next one goes in. Rows written in
// groups (on PostgreSQL with COPY) are stored the same, whatever their text and whichever
// columns each sets, and are in the table before the record set reads or moves; a row
// refused inside a group is the one named. On every backend.
TEST_P(DatabaseTest, RowsWrittenOneByOneOrInGroupsAreStoredAsTheDriverStoresThem)
{
    const std::pair<QVariant, QVariant> casi[] = {{QString(), 1234.5678},
                                                  {QString(""), qlonglong(7)},
                                                  {QVariant(), 0.1 + 0.2},  // no value: the column is not set
                                                  {QString("tab\tbarra\\ a capo\r\n\\N"), -1234567.891},
                                                  {QString("solo indirizzo"), QVariant()},
                                                  {QString("L'Àncora – 10 €"), 1e-5}};
    Recordset uno, gruppi;
    uno.Open("QD05_DITTA", *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    const auto scrivi = [](Recordset& rs, const QString& codice, const QVariant& indirizzo, const QVariant& capitale) {
        rs.AddNew();
        rs.setValue("QD05_CODICEDITTA", codice);
        rs.setValue("QD05_RAGIONESOCIALE", "Prova");
        if (indirizzo.isValid()) rs.setValue("QD05_INDIRIZZO", indirizzo);
        if (capitale.isValid()) rs.setValue("QD05_CAPITALESOCIALE", capitale);
        rs.setValue("QD05_VERSATO", true);
        rs.Update();
    };
    const int n = int(std::size(casi));
    for (int i = 0; i < n; ++i) scrivi(uno, QStringLiteral("U%1").arg(i), casi[i].first, casi[i].second);
    EXPECT_EQ(ditta("U0"), QStringLiteral("Prova|NULL|1234.5678|1|NULL|NULL|NULL"));
    EXPECT_EQ(ditta("U1"), QStringLiteral("Prova||7|1|NULL|NULL|NULL"));
    EXPECT_THROW(scrivi(uno, "U0", QString(), 1), AppError);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_EQ(conn->Errors().first().source, "rs");
    if (GetParam() == "sqlite") { EXPECT_EQ(conn->Errors().first().description, "UNIQUE constraint failed: QD05_DITTA.QD05_CODICEDITTA"); }
    uno.CancelUpdate();
    scrivi(uno, "U9", QString(), 1);
    EXPECT_FALSE(ditta("U9").isEmpty());

    conn->BeginTrans();
    gruppi.Open("QD05_DITTA", *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    gruppi.ScriviAGruppi(50);
    // Nothing else in between: on PostgreSQL one COPY takes them all.
    for (int i = 0; i < n; ++i) scrivi(gruppi, QStringLiteral("G%1").arg(i), casi[i].first, casi[i].second);
    gruppi.MoveFirst();
    for (int i = 0; i < n; ++i) EXPECT_EQ(ditta(QStringLiteral("G%1").arg(i)), ditta(QStringLiteral("U%1").arg(i))) << i;
    gruppi.Filter(gruppi.fieldIndex("QD05_RAGIONESOCIALE"), "Prova");
    EXPECT_EQ(gruppi.RecordCount(), 2 * n + 1);
    gruppi.Close();

    gruppi.Open("QD05_DITTA", *conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    gruppi.ScriviAGruppi(50);
    const QStringList codici{"H1", "H2", "G0", "H3"};  // G0 is there already
    for (qsizetype riga = 0; riga < codici.size(); ++riga) {
        gruppi.setOrigine({riga + 1, codici[riga]});
        scrivi(gruppi, codici[riga], QString(), 1);
    }
    EXPECT_THROW(gruppi.Close(), AppError);
    EXPECT_EQ(gruppi.origineFallita().numero, 3);
    ASSERT_EQ(conn->Errors().size(), 1);
    EXPECT_EQ(conn->Errors().first().source, "rs");
    gruppi.ScartaInAttesa();
    gruppi.Close();
    conn->RollbackTrans();
}

// The text COPY reads for each kind of value: what the driver binds as NULL is \N, numbers
// as the driver writes them, amounts held exactly in ten-thousandths, COPY's own characters
// escaped.
TEST(TestoCopia, EachValueAsCopyReadsIt)
{
    const std::pair<QVariant, QByteArray> casi[] = {
        {QVariant(), "\\N"},
        {QString(), "\\N"},
        {QString(""), ""},
        {QString("a\tb\\c\nd\re"), "a\\tb\\\\c\\nd\\re"},
        {QString("Società €"), "Società €"},
        {true, "1"},
        {42, "42"},
        {qlonglong(-9007199254740993), "-9007199254740993"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1234567.891, "1234567.891"},
        {1e20, "1e+20"},
    };
    for (const auto& [valore, atteso] : casi) {
        QByteArray riga;
        Connection::testoCopia(valore, riga);
        EXPECT_EQ(riga, atteso) << valore.toString().toStdString();
        // The same text as the driver for the numbers it binds.
        if (valore.typeId() == QMetaType::Double) { EXPECT_EQ(riga, valore.toString().toUtf8()); }
    }
}

// As the import looks accounts up: a row added is found by its text without a new query,
// apostrophe included, and edited there; a cancelled row leaves nothing.
TEST_P(DatabaseTest, AddsUpdatesFiltersAndRequeries)
{
    Recordset chart;
    chart.Open("SELECT * FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04=" + StringaSQL("STD") + " ORDER BY QD15_CODICEPDC_QD04", *conn,
               Recordset::adOpenStatic, Recordset::adLockOptimistic);
    const int conto = chart.fieldIndex("QD15_CODICECONTO");
    chart.AddNew();
    chart.setValue(chart.fieldIndex("QD15_CODICEPDC_QD04"), "STD");
    chart.setValue(conto, "L'9");
    chart.setValue("QD15_LIVELLO", 1);
    chart.Update();
    for (const auto& [testo, attesi] : {std::pair{"nessuno", 0L}, {"1010", 1L}, {"L'9", 1L}}) {
        chart.Filter(conto, testo);
        EXPECT_EQ(chart.RecordCount(), attesi) << testo;
        if (attesi > 0) { EXPECT_EQ(chart.value(conto).toString(), testo); }
    }
    chart.Filter(conto, "1010");
    chart.setValue("QD15_DESCRIZIONE", "Cassa contanti");
    chart.Update();

    chart.Filter(QString());
    chart.AddNew();
    chart.setValue(conto, "X");
    chart.CancelUpdate();
    chart.Requery();
    EXPECT_EQ(chart.RecordCount(), 21);
    chart.Filter(conto, "1010");
    EXPECT_EQ(chart.value("QD15_DESCRIZIONE").toString(), "Cassa contanti");
}

SU_OGNI_BACKEND(Backends, DatabaseTest);

TEST(Connessione, APasswordIsNeverShown)
{
    for (auto [stringa, mostrata] : {std::pair{"postgresql:host=h password=s3gr3t0 user=u", "postgresql:host=h password=*** user=u"},
                                     {"postgresql:PASSWORD = 'a b\\' c' dbname=d", "postgresql:PASSWORD = *** dbname=d"},
                                     {"/tmp/analisi.db", "/tmp/analisi.db"}})
        EXPECT_EQ(Connection::senzaSegreti(QString::fromLatin1(stringa)), QLatin1String(mostrata));
}
