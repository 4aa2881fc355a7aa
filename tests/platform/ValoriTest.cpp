#include "platform/AppError.h"
#include "platform/SqlText.h"
#include "platform/Valori.h"
#include <gtest/gtest.h>

using namespace vb;

TEST(Valori, ReadsTextsUnderTheItalianNumberFormat)
{
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("1.234,5")), 1234.5);
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("1500,00")), 1500.0);
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral(" -12,25 ")), -12.25);
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("1,5E+3")), 1500.0);
    EXPECT_TRUE(IsNumeric(QStringLiteral("1.234,5")));
    EXPECT_FALSE(IsNumeric(QStringLiteral("")));
    EXPECT_FALSE(IsNumeric(QStringLiteral("12a")));
    EXPECT_FALSE(IsNumeric(QStringLiteral("1,2,3")));
    EXPECT_FALSE(IsNumeric(QVariant()));
    try {
        CDbl(QStringLiteral("abc"));
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 13);
    }
}

TEST(Valori, NumberFormatIsConfigurable)
{
    const NumberFormat italian = numberFormat();
    setNumberFormat({QLatin1Char('.'), QLatin1Char(',')});
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("1,234.5")), 1234.5);
    EXPECT_EQ(CStr(1.25), QStringLiteral("1.25"));
    setNumberFormat(italian);
    EXPECT_EQ(CStr(1.25), QStringLiteral("1,25"));
    EXPECT_EQ(CStr(1.0 / 0.8), QStringLiteral("1,25"));
}

TEST(Valori, IntegerConversionsRoundHalvesToEvenAndOverflow)
{
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(QStringLiteral("32767")), 32767);
    EXPECT_EQ(CInt(QStringLiteral("-32768")), -32768);
    EXPECT_THROW(CInt(32767.5), AppError);
    EXPECT_THROW(CInt(QStringLiteral("40000")), AppError);
    EXPECT_EQ(CLng(QStringLiteral("40000")), 40000);
    EXPECT_THROW(CLng(3e9), AppError);
    EXPECT_THROW(CInt(QVariant()), AppError);
    EXPECT_EQ(CInt(QVariant(qlonglong(12))), 12);
}

TEST(Valori, CurrencyKeepsFourDecimals)
{
    EXPECT_EQ(CCur(QStringLiteral("1500,00")).scaled(), 15000000);
    EXPECT_EQ(CCur(0.00005).scaled(), 0);  // half to even
    EXPECT_EQ(CCur(0.00015).scaled(), 2);
    EXPECT_DOUBLE_EQ((CCur(100.0) - CCur(30.0)).toDouble(), 70.0);
    EXPECT_THROW(CCur(1e16), AppError);
}

TEST(Valori, BooleansFormatsAndLeadingNumbers)
{
    EXPECT_TRUE(CBool(QVariant(1)));
    EXPECT_FALSE(CBool(QVariant(0)));
    EXPECT_TRUE(CBool(QVariant(QStringLiteral("True"))));
    EXPECT_FALSE(CBool(QVariant(QStringLiteral("0"))));

    EXPECT_EQ(FormatIntero(1234567.6), QStringLiteral("1.234.568"));
    EXPECT_EQ(FormatIntero(-1500), QStringLiteral("-1.500"));
    EXPECT_EQ(FormatIntero(0), QStringLiteral("0"));

    EXPECT_DOUBLE_EQ(Val(QStringLiteral("  12abc")), 12);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("3.5x")), 3.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("x12")), 0);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("")), 0);

    EXPECT_EQ(NomeMese(1), QStringLiteral("gennaio"));
    EXPECT_EQ(NomeMese(12), QStringLiteral("dicembre"));

    EXPECT_DOUBLE_EQ(Round(10.004, 2), 10.0);
    EXPECT_DOUBLE_EQ(Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(Round(0.135, 2), 0.14);
    EXPECT_EQ(Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
}

TEST(SqlText, QuotesCompanyNamesWithApostrophes)
{
    EXPECT_EQ(StringaSQL(ApiciSQL(QStringLiteral("L'Àncora"))), QStringLiteral("'L''Àncora'"));
    EXPECT_EQ(StringaSQL(ApiciSQL(QStringLiteral("Rossi"))), QStringLiteral("'Rossi'"));
}
