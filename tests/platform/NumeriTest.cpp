#include "platform/AppError.h"
#include "platform/Valori.h"
#include <gtest/gtest.h>

using namespace vb;

TEST(Numeri, ATextIsReadWholeOrNotAtAll)
{
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("+12,5")), 12.5);
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("1.234.567,891")), 1234567.891);
    EXPECT_DOUBLE_EQ(CDbl(QStringLiteral("\t-,5e-1 ")), -0.05);
    EXPECT_DOUBLE_EQ(CDbl(QString(300, QLatin1Char('9'))), 1e300);
    EXPECT_FALSE(IsNumeric(QStringLiteral("0,") + QString(400, QLatin1Char('0')) + QLatin1Char('1')));  // below range
    for (const char* no : {"1e400", "-1e309", "1,5E", "1,5E+", "- 1", "+", ",", "1 2", "١٢", "1.5,5,5"})
        EXPECT_FALSE(IsNumeric(QString::fromUtf8(no))) << no;
    EXPECT_EQ(CCur(QStringLiteral("-12,345678")).scaled(), -123457);

    EXPECT_DOUBLE_EQ(Val(QStringLiteral("  -3.5e2x")), -350);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("+.5")), 0.5);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("7e")), 7);
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("1e999")), 0);
}

TEST(Numeri, WholeNumbersAreGroupedByThousands)
{
    EXPECT_EQ(FormatIntero(1234567.5), QStringLiteral("1.234.568"));
    EXPECT_EQ(FormatIntero(-999.5), QStringLiteral("-1.000"));
    EXPECT_EQ(FormatIntero(-0.4), QStringLiteral("0"));
    EXPECT_EQ(FormatIntero(999), QStringLiteral("999"));
    EXPECT_EQ(FormatIntero(123456789012345.0), QStringLiteral("123.456.789.012.345"));
    EXPECT_EQ(FormatIntero(-1e15), QStringLiteral("-1.000.000.000.000.000"));

    const NumberFormat italian = numberFormat();
    setNumberFormat({QLatin1Char('.'), QLatin1Char(',')});
    EXPECT_EQ(FormatIntero(-1234), QStringLiteral("-1,234"));
    setNumberFormat(italian);
}
