#include "platform/Valori.h"
#include <gtest/gtest.h>
TEST(Valori, placeholder) { EXPECT_TRUE(vb::IsNumeric(QStringLiteral("1.234,5"))); }
