#include <gtest/gtest.h>

#include "text/Amounts.h"

namespace corvela {
namespace {

TEST(AmountsTest, ConvertEuropeanAmount) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.234,56", "1,234.56"},
      {"12,5", "12.5"},
      {"-12,50", "-12.50"},
      {"1.234.567,89", "1,234,567.89"},
      {"1,234.56", "1,234.56"},  // already point notation
      {"1,234", "1,234"},        // a thousands separator only
      {"1234", "1234"},
      {"", ""},
      {",", "."},
      {"\xE2\x82\xAC 3,20", "\xE2\x82\xAC 3.20"},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(convertEuropeanAmount(text), expected) << text;
}

TEST(AmountsTest, FindAmount) {
  struct Case {
    const char* text;
    double value;
    bool negative;
  };
  const Case cases[] = {
      {"(1,234.50)", 1234.5, true},
      {"USD 12.00-", 12.0, true},
      {"12 3/8", 12.375, false},
      {"12.00x", -1.0, false},
      {"$ 5", 5.0, false},
      {"-$7,971.39", 7971.39, true},
      {"$-5", 5.0, true},
      {"\302\2435", 5.0, false},  // pound sign in UTF-8, and as the single byte
      {"\2435", 5.0, false},
      {"\342\202\25412.50", 12.5, false},
      {"5\xC2\xA0", 5.0, false},  // trailing non-breaking space, UTF-8
      {"5\xA0", 5.0, false},      // and the single byte
      {"5\xC2\xA3", -1.0, false},
      {"  42", 42.0, false},
      {"\t42<", 42.0, false},
      {"42+", 42.0, false},
      {"42\r", 42.0, false},
      {"42)", 42.0, false},
      {"1,234.56 CR", 1234.56, false},  // text after a blank ends the amount
      {"12 1/2-", 12.5, true},
      {"12 3/0", -1.0, false},  // no fraction has a zero denominator
      {"12 -3/8", -1.0, false},
      {"1.2.3", 1.5, false},  // every point starts the decimals again
      {"", 0.0, false},
      {"abc", -1.0, false},
      {"9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
       "999999999999999999999999999999999999999999999999999999999999999999999999999"
       "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999999999"
       "999999999999999999999999999999999999999999999999999999999999999999999999999",
       -1.0, false},  // not a number any more
  };
  for (const Case& c : cases) {
    AmountReading reading = findAmount(c.text);
    EXPECT_DOUBLE_EQ(reading.value, c.value) << c.text;
    if (c.value >= 0) {
      EXPECT_EQ(reading.negative, c.negative) << c.text;
    }
    EXPECT_EQ(reading.isAmount(), c.value >= 0) << c.text;
  }
}

}  // namespace
}  // namespace corvela
