// Text and number helpers and the file's real-number form.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/real_format.h"

namespace {

TEST(Helpers, NumbersAndText)
{
  EXPECT_EQ(FloorEps(2.99995), 3);
  EXPECT_EQ(FloorEps(-0.5), -1);
  EXPECT_EQ(FloorEps(1e30), INT_MAX);
  EXPECT_EQ(RoundHalfUp(2.5), 3);
  EXPECT_EQ(RoundHalfUp(-2.5), -2);
  EXPECT_EQ(SwapRedBlue(0x123456), 0x563412u);
  EXPECT_TRUE(TextToBool("TRUE"));
  EXPECT_FALSE(TextToBool("yes"));
  EXPECT_EQ(TrimTrailingBreaks("a b \r\n \n"), "a b");
  EXPECT_EQ(ExtractKey("C:\\Game\\images/Sword1.PNG"), "sword1.png");
  EXPECT_EQ(SplitWords("\t a\tb   c  "), (std::vector<std::string>{"a\tb", "c"}));
  EXPECT_TRUE(SplitWords(" \r ").empty());

  EXPECT_EQ(ParseInt("-42"), -42);
  EXPECT_EQ(ParseInt("$1f"), 31);
  EXPECT_EQ(ParseInt("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(ParseInt("-2147483648"), INT_MIN);
  for (const char *bad : {"", "-", "$", "1.5", "12a", "2147483648", "$100000000", " 1", "0x10"})
    EXPECT_FALSE(ParseInt(bad)) << bad;
  EXPECT_EQ(ParseReal("1.5"), 1.5);
  EXPECT_EQ(ParseReal("-.25"), -0.25);
  EXPECT_EQ(ParseReal("+2e3"), 2000);
  for (const char *bad : {"", ".", "1,5", "inf", "nan", "1e", "1e999", "0x1p3"})
    EXPECT_FALSE(ParseReal(bad)) << bad;
}

TEST(RealFormat, ShortestGeneralForm)
{
  const std::vector<std::pair<double, std::string>> cases = {{1.5, "1.5"},
                                                             {2, "2"},
                                                             {0.25, "0.25"},
                                                             {-0.5, "-0.5"},
                                                             {1e-6, "1E-6"},
                                                             {0.00001, "0.00001"},
                                                             {0, "0"},
                                                             {1.0 / 3, "0.333333333333333"},
                                                             {123456789012345, "123456789012345"},
                                                             {1e15, "1E15"},
                                                             {0.0625, "0.0625"},
                                                             {-1.5e-7, "-1.5E-7"},
                                                             {2.5e20, "2.5E20"}};
  for (const auto &[value, text] : cases)
    EXPECT_EQ(FormatReal(value), text) << value;
}

TEST(RealFormat, SixteenthsMatchTheRealForm)
{
  for (int value : {0, 1, -1, 8, -8, 15, 16, 17, -17, 24, 32, 100, -1000, 123457, INT_MAX, INT_MIN, INT_MIN + 1})
    EXPECT_EQ(FormatSixteenths(value), FormatReal(value / 16.0)) << value;
  for (int value = -5000; value <= 5000; ++value)
    ASSERT_EQ(FormatSixteenths(value), FormatReal(value / 16.0)) << value;
}

} // namespace
