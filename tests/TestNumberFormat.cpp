#include "base/NumberFormat.h"

#include <gtest/gtest.h>

using tolvi::formatGrouped;
using tolvi::formatInt;

TEST(NumberFormat, ZeroIsWrittenAsOneDigitEvenWithPrecisionZero)
{
    EXPECT_EQ(formatInt(0, 4), "   0");
    EXPECT_EQ(formatInt(0, 3), "  0");
    EXPECT_EQ(formatInt(0, 0), "0");
}

TEST(NumberFormat, WidthPadsWithBlanksAndPrecisionWithZeros)
{
    EXPECT_EQ(formatInt(1, 4), "   1");
    EXPECT_EQ(formatInt(999, 4), " 999");
    EXPECT_EQ(formatInt(1235, 4), "1235");
    EXPECT_EQ(formatInt(28, 3, 3), "028");
    EXPECT_EQ(formatInt(7, 0, 2), "07");
    EXPECT_EQ(formatInt(5500, 5), " 5500");
}

TEST(NumberFormat, TooWideValueWidensTheField)
{
    EXPECT_EQ(formatInt(12345, 4), "12345");
    EXPECT_EQ(formatInt(1234567, 6), "1234567");
    EXPECT_EQ(formatInt(1000, 3, 3), "1000");
}

TEST(NumberFormat, NegativeValuesKeepTheirSignBeforeTheZeros)
{
    EXPECT_EQ(formatInt(-5, 4), "  -5");
    EXPECT_EQ(formatInt(-5, 0, 3), "-005");
}

TEST(NumberFormat, GroupedWritesThousandsSeparatorsRightAligned)
{
    EXPECT_EQ(formatGrouped(0, 10, ","), "         0");
    EXPECT_EQ(formatGrouped(999, 10, ","), "       999");
    EXPECT_EQ(formatGrouped(1000, 10, ","), "     1,000");
    EXPECT_EQ(formatGrouped(1600000, 12, ","), "   1,600,000");
    EXPECT_EQ(formatGrouped(123456789, 10, ","), "123,456,789");
    EXPECT_EQ(formatGrouped(1234567, 0, "."), "1.234.567");
    EXPECT_EQ(formatGrouped(-1234, 0, ","), "-1,234");
}
