#include "ScreenFixture.h"
#include "platform/balance/BalanceCheck.h"

namespace {

// A value of December 2025.
void valore(Connection& c, const char* ditta, const char* conto, int periodo, const QString& importo)
{
    c.Esegui(QStringLiteral("INSERT INTO QD07_VALORIPDC (QD07_CODICEDITTA_QD05, QD07_CODICECONTO, QD07_ANNO, QD07_MESE, QD07_RETTIFICA, "
                            "QD07_VALOREORIGINALE, QD07_VALOREINVALUTA, QD07_NPERIODO) VALUES (?, ?, ?, 12, 0, ?, ?, ?)"),
             {ditta, conto, "2025", importo, importo, periodo});
}

// A period of R001 (chart STD) with values that must stay out of the check: a
// memorandum pair that does not square, another period and another company.
void periodo(Connection& c, const QString& attivo, const QString& passivo, const QString& costi, const QString& ricavi)
{
    valore(c, "R001", "1010", 1, attivo);
    valore(c, "R001", "2010", 1, passivo);
    valore(c, "R001", "3010", 1, costi);
    valore(c, "R001", "4010", 1, ricavi);
    valore(c, "R001", "9010", 1, "999");
    valore(c, "R001", "1010", 2, "777");
    valore(c, "A002", "1010", 1, "333");
}

using Quadratura = ScreenFixture;
class QuadraturaLibreria : public ::testing::TestWithParam<QString> {};

}  // namespace

TEST_P(QuadraturaLibreria, DebitsAndCreditsByStatementAndFailureInsideTheImport)
{
    SALTA_SENZA(GetParam());
    TestDb db(GetParam());
    auto c = db.open();
    periodo(*c, "100.57", "-0.57", "70", "-10.25");  // 0.57 is stored a trifle below 0.57: rounded, not cut
    // Outside both statements: an account without section, one missing from the chart.
    c->Esegui(QStringLiteral("UPDATE QD15_DEFPDC SET QD15_SEZIONE = ? WHERE QD15_CODICECONTO = ?"), {" ", "1020"});
    valore(*c, "R001", "1020", 1, "-5");
    valore(*c, "R001", "X999", 1, "3");
    BalanceCheck q;
    QString ditta = "R001 ", anno = "2025";
    qint16 mese = 12, per = 1, zero16 = 0;
    qint32 zero = 0;
    bool vero = true;
    auto totali = [&] { return std::make_tuple(q.Totale1(), q.Totale2(), q.Totale3(), q.Totale4()); };
    c->BeginTrans();
    q.Verifica(*c, ditta, anno, mese, per, zero, vero, zero16);
    EXPECT_EQ(totali(), std::make_tuple(103.57, 70.0, -5.57, -10.25));

    // A check that cannot read resets its totals and leaves the import's transaction usable.
    c->Execute(QStringLiteral("DROP TABLE QD15_DEFPDC"));
    EXPECT_ANY_THROW(q.Verifica(*c, ditta, anno, mese, per, zero, vero, zero16));
    EXPECT_EQ(totali(), std::make_tuple(0.0, 0.0, 0.0, 0.0));
    valore(*c, "R001", "1020", 1, "1");
    c->CommitTrans();
    EXPECT_EQ(scalar(*c, QStringLiteral("SELECT COUNT(*) FROM QD07_VALORIPDC")).toInt(), 10);
}

SU_OGNI_BACKEND(Db, QuadraturaLibreria);

TEST_F(Quadratura, PassesExactlyWhenTheValuesAddUpToZeroToTheCent)
{
    struct Caso { const char *nome, *attivo, *passivo, *costi, *ricavi; bool superato; };
    // Balance-sheet result 60, income-statement result −60: the usual opposite signs.
    const Caso casi[] = {
        {"squared", "100", "-40", "30", "-90", true},
        {"within the cent", "100.004", "-40", "30", "-90.001", true},
        {"off by 0.02", "100", "-40", "30", "-89.98", false},
        {"income statement with the wrong sign", "100", "-40", "90", "-30", false},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        conn().Execute(QStringLiteral("DELETE FROM QD07_VALORIPDC"));
        periodo(conn(), caso.attivo, caso.passivo, caso.costi, caso.ricavi);
        dialogs.clear();
        screen->lwLog->clearRows();
        screen->VerificaQuadratura("R001", " 2025 ", 12, 1);
        ASSERT_EQ(screen->lwLog->rowCount(), caso.superato ? 1 : 2);
        EXPECT_EQ(screen->lwLog->text(0, 1), caso.superato ? QStringLiteral("VERIFICA QUADRATURA 2025  EFFETTUATO CON SUCCESSO.")
                                                           : QStringLiteral("VERIFICA QUADRATURA NON SUPERATO."));
        EXPECT_TRUE(screen->lwLog->text(0, 0).isEmpty());
        if (qstrcmp(caso.ricavi, "-89.98") == 0) { EXPECT_EQ(screen->lwLog->text(1, 1), QStringLiteral("Differenza: 0,02 EUR")); }
        EXPECT_EQ(dialogs.shown().size(), caso.superato ? 0 : 1);
    }
}

TEST_F(Quadratura, RowsAndWarningAndACheckThatCouldNotRunSaysSo)
{
    periodo(conn(), "100", "-40", "30", "-2590.8");
    screen->VerificaQuadratura(" R001 ", "2025", 12, 1);
    LogList* log = screen->lwLog;
    ASSERT_EQ(log->rowCount(), 2);
    EXPECT_EQ(log->text(1, 1), QStringLiteral("Differenza: 2.500,80 EUR"));
    EXPECT_EQ(log->color(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(box(), QStringList{"Verifica Quadratura: Attenzione! Verifica quadratura non superato.\r\n Ditta : R001 Anno : 2025 Mese : 12 "
                                 "Periodo : 1"});

    // Totals that cannot be summed, or read at all, are no success: the error row and the box say why.
    valore(conn(), "R001", "1010", 1, "1e300");
    for (const char* motivo : {"totale fuori dai limiti", "Totali del periodo non disponibili"}) {
        screen->VerificaQuadratura("R001", "2025", 12, 1);
        const QString riga = log->text(log->rowCount() - 1, 1);
        EXPECT_TRUE(riga.startsWith(QStringLiteral("VERIFICA QUADRATURA NON ESEGUITA: ")) && riga.contains(QLatin1String(motivo))) << riga.toStdString();
        EXPECT_EQ(log->color(log->rowCount() - 1, 1), QColor(255, 0, 0));
        EXPECT_TRUE(dialogs.shown().last().text.startsWith(QStringLiteral("Attenzione! Verifica quadratura non eseguita: ")));
        EXPECT_FALSE(screen->m_QuadraturaVerificata);
        if (QLatin1String(motivo) == QLatin1String("totale fuori dai limiti")) conn().Execute(QStringLiteral("DROP TABLE QD05_DITTA"));
    }
}
