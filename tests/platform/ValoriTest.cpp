#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <utility>

using namespace vb;

// Under the Italian format a text is read whole or not at all, in the plain forms and in
// those of accounting exports, and the numeric test and every conversion agree on each.
// A dot groups thousands only between groups of three digits; anywhere else, in a number
// without decimal comma, it is the decimal point. Blanks and apostrophes group thousands
// too; the typographic minus and dash are signs; an exponent is no amount.
TEST(Valori, TextsAreReadWholeOrNotAtAll)
{
    const std::pair<const char*, double> numeri[] = {
        {"1.234,5", 1234.5},     {" -12,25 ", -12.25},     {"1.234.567,891", 1234567.891}, {"1.250,40-", -1250.4},
        {"1.250,40 -", -1250.4}, {"( 500 )", -500.0},     {"\u00A0 12,5 \u00A0", 12.5}, {"€ 1.250,40", 1250.4},
        {"1.250,40 €", 1250.4},  {"-€ 3", -3.0},          {"(€ 7)", -7.0},          {"€ (7)", -7.0},
        {"3+", 3.0},             {"1.250", 1250.0},       {"1.05", 1.05},           {"12.5-", -12.5},
        {"0.250", 0.25},         {"1.2345", 1.2345},      {".5", 0.5},              {"5.", 5.0},
        {"1 234,56", 1234.56},   {"1\u00A0234,56", 1234.56}, {"1\u202F234\u202F567", 1234567.0}, {"1'234,56", 1234.56},
        {"1\u2019234.5", 1234.5}, {"1'234.5678", 1234.5678}, {"\u2212500,00", -500.0}, {"500\u2212", -500.0},
        {"\u2013 7", -7.0},
    };
    for (auto [testo, atteso] : numeri) {
        const QString t = QString::fromUtf8(testo);
        EXPECT_TRUE(IsNumeric(t)) << testo;
        EXPECT_TRUE(IsNumeric(QVariant(t))) << testo;
        EXPECT_DOUBLE_EQ(CDbl(t), atteso) << testo;
        EXPECT_DOUBLE_EQ(CCur(t).toDouble(), atteso) << testo;
        EXPECT_EQ(CLng(t), CLng(atteso)) << testo;
    }
    EXPECT_DOUBLE_EQ(CDbl(QString(300, QLatin1Char('9'))), 1e300);
    // Too small for a double: a number, 0 as an amount rounds it.
    const QString minuscolo = QStringLiteral("-0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1');
    EXPECT_TRUE(IsNumeric(minuscolo));
    EXPECT_EQ(CStr(CDbl(minuscolo)), "0");
    EXPECT_EQ(CCur(minuscolo).toDouble(), 0.0);
    // Impossible mixtures of dots and commas are no number either.
    for (const char* no : {"", "12a", "1,2,3", "1e400", "1,5E+", "+", ",", "1 2", "١٢", "-1,5-", "(-5)", "(5", "5)", "()",
                           "€", "€ €5", "--5", "-(5)", "1.250,40 - -", "$5", "1,234.56", "1.23.4", "1.2345,6", "1.234.56",
                           "12.34.567", ".", "1..5", "0.123,5", "1,2.5", "1.234.5678", "1,5e3", "1.5E3", "2,5e1-", "1 2,3",
                           "(1.234,56)-", "1 234.567", "1 234.567,89", "1'234 567", "12 34", "1'234,5'6", "0 250", "\u2212-5"}) {
        const QString t = QString::fromUtf8(no);
        EXPECT_FALSE(IsNumeric(t)) << no;
        EXPECT_THROW(CDbl(t), AppError) << no;
        EXPECT_THROW(CCur(t), AppError) << no;
    }
    EXPECT_FALSE(IsNumeric(QVariant()));

    // Val reads the leading number, in the invariant format.
    for (auto [testo, atteso] : {std::pair{"  -3.5e2x", -350.0}, {"+.5", 0.5}, {"7e", 7.0}, {"1e999", 0.0}, {"  12abc", 12.0},
                                 {"3.5x", 3.5}, {"x12", 0.0}, {"", 0.0}})
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(testo)), atteso) << testo;
}

TEST(Valori, NumbersAreWrittenForAPerson)
{
    for (auto [numero, atteso] : {std::pair{1.05, "1,05"}, {1234567.891, "1.234.567,891"}, {-0.5, "-0,5"}, {0.00001234, "0,00001234"}})
        EXPECT_EQ(FormatNumero(numero), QLatin1String(atteso)) << numero;
    EXPECT_DOUBLE_EQ(CDbl(FormatNumero(1234.5678)), 1234.5678);
    for (auto [numero, atteso] : {std::pair{1e20, "100000000000000000000"}, {1.25e-7, "0,000000125"}, {-2.5, "-2,5"}})
        EXPECT_EQ(CStr(numero), QLatin1String(atteso)) << numero;
    for (auto [numero, atteso] : {std::pair{1234567.5, "1.234.568"}, {-999.5, "-1.000"}, {-0.4, "0"}, {999.0, "999"}})
        EXPECT_EQ(FormatIntero(numero), QLatin1String(atteso)) << numero;
}

TEST(Valori, IntegersCurrencyAndRoundingTakeHalvesToEvenAndOverflow)
{
    for (auto [numero, intero] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}}) EXPECT_EQ(CInt(numero), intero) << numero;
    EXPECT_EQ(CInt(QStringLiteral("32767")), 32767);
    EXPECT_EQ(CInt(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(CInt(QVariant(qlonglong(12))), 12);
    EXPECT_EQ(CLng(QStringLiteral("40000")), 40000);
    EXPECT_THROW(CInt(32767.5), AppError);
    EXPECT_THROW(CInt(QStringLiteral("40000")), AppError);
    EXPECT_THROW(CInt(QVariant()), AppError);
    EXPECT_THROW(CLng(3e9), AppError);

    // Amounts are read exactly, a fifth decimal rounding half to even, the range to its last unit.
    for (auto [testo, decimillesimi] : {std::pair{"1500,00", qint64(15000000)}, {"-12,345678", -123457}, {"0,00005", 0},
                                        {"0,00015", 2}, {"0,000250001", 3}, {"99999999999999,9999", 999999999999999999},
                                        {"922.337.203.685.477,5807", std::numeric_limits<qint64>::max()},
                                        {"-922337203685477,5807", -std::numeric_limits<qint64>::max()}})
        EXPECT_EQ(CCur(QString::fromLatin1(testo)).scaled(), decimillesimi) << testo;
    EXPECT_EQ(FormatNumero(CCur(QStringLiteral("-922337203685477,5807"))), QStringLiteral("-922.337.203.685.477,5807"));
    for (const char* fuori : {"922337203685477,5808", "99999999999999999999", "1e300"}) EXPECT_THROW(CCur(QString::fromLatin1(fuori)), AppError);
    Currency c;
    EXPECT_EQ(LeggiImporto(QStringLiteral("922337203685477,58075"), c), Importo::FuoriScala);
    // Conversions divide by the rate as written, to the fourth decimal, halves to even.
    for (auto [importo, cambio, atteso] : {std::tuple{"2450", 1.05, qint64(23333333)}, {"-2450", 1.05, -23333333}, {"1", 3.0, 3333},
                                           {"0,0001", 2.0, 0}, {"0,0003", 2.0, 2}, {"100", 0.0001, 10000000000}})
        EXPECT_EQ(CCur(QString::fromLatin1(importo)).alCambio(cambio).scaled(), atteso) << importo << " / " << cambio;
    EXPECT_THROW(CCur(QStringLiteral("900000000000000")).alCambio(0.5), AppError);
    EXPECT_THROW(CCur(QStringLiteral("1")).alCambio(0), AppError);
    EXPECT_EQ(CCur(0.00005).scaled(), 0);  // four decimals
    EXPECT_EQ(CCur(0.00015).scaled(), 2);
    EXPECT_DOUBLE_EQ((CCur(100.0) - CCur(30.0)).toDouble(), 70.0);
    EXPECT_THROW(CCur(QStringLiteral("900000000000000")) + CCur(QStringLiteral("900000000000000")), AppError);
    EXPECT_THROW(CCur(1e16), AppError);
    for (auto [numero, arrotondato] : {std::pair{10.004, 10.0}, {0.125, 0.12}, {0.135, 0.14}})
        EXPECT_DOUBLE_EQ(Round(numero, 2), arrotondato) << numero;
    for (auto [valore, vero] : {std::pair{QVariant(1), true}, {QVariant(0), false}, {QVariant(QStringLiteral("True")), true},
                                {QVariant(QStringLiteral("0")), false}})
        EXPECT_EQ(CBool(valore), vero) << valore.toString().toStdString();
}
