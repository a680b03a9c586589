#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/ErrorWarning.h"
#include "investment/InvestmentReader.h"
#include "investment/TypeMappings.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"
#include "support/ScriptedPlatform.h"

namespace corvela {
namespace {

const CalendarDay kPast = CalendarDay::distantPast();
const CalendarDay kFuture = CalendarDay::distantFuture();

TEST(InvestmentReadingTest, TypeMappingsTakeTheLongestPrefixAndResolveSigns) {
  Value format{{"TypeMappings", Value(Value::Array{
                                    Value{{"formatType", "Div"}, {"quickenType", 6}},
                                    Value{{"formatType", "Dividend reinv"}, {"quickenType", 10}},
                                    Value{{"formatType", ""}, {"quickenType", 7}},
                                    Value{{"formatType", "Transfer"}, {"quickenType", 23}},
                                    Value{{"formatType", "Other"}, {"quickenType", 24}},
                                })}};
  struct Case {
    const char* type;
    bool negative;
    int expected;
  };
  const Case cases[] = {
      {"DIVIDEND REINVEST", false, 10},
      {"Dividend", false, 6},
      {"Interest", false, quickenType::none},
      {"", false, 7},
      {"Transfer", false, 0},
      {"Transfer", true, 1},
      {"Other fee", false, 4},
      {"Other fee", true, 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(quickenTypeForFormatType(format, c.type, c.negative).quickenType, c.expected)
        << c.type << " " << c.negative;
}

TEST(InvestmentReadingTest, CashAmountsAreNormalised) {
  struct Case {
    const char* amount;
    bool european;
    const char* expected;
  };
  const Case cases[] = {{"1,234.56", true, "1234,56"},
                        {"12.00-", false, "-12.00"},
                        {"(12.00)", false, "-12.00"},
                        {"$1,234.56", false, "1,234.56"}};
  for (const Case& c : cases)
    EXPECT_EQ(normalizeQIFAmount(c.amount, "$)+ ", c.european), c.expected) << c.amount;
  // Converted once only: a second pass leaves the text alone.
  Value split{{"amount", "12.00-"}};
  EXPECT_EQ(normalizeQIFAmountIn(split, "", false), "-12.00");
  EXPECT_EQ(normalizeQIFAmountIn(split, "", false), "-12.00");
}

// Each statement of tests/data/investment/reading read into records, compared whole with
// NAME.expected.json:
// - columns: amounts of separate debit and credit columns, with their signs; no Date key means
//   field 0; what is no number is kept as an error of its own field;
// - labels: values found after a label instead of in a column, up to the end of their field;
// - aggregates: trades and bank lines of one download are each a transaction of their own, in
//   order; a bank line after the last trade does not join it; securities come from the security
//   list, or are the identifier itself when the list does not name them; the proposed type
//   follows the income kind and the sign (CGLong; MiscExp and ShrsOut by sign);
// - aggregates-range: a range keeps exactly the transactions inside it.
TEST(InvestmentReadingTest, StatementsGiveTheirRecords) {
  struct Case {
    const char* name;
    const char* input;
    CalendarDay from, to;
  };
  const Case cases[] = {
      {"columns", "columns.csv", kPast, kFuture},
      {"labels", "labels.csv", kPast, kFuture},
      {"aggregates", "aggregates.ofx", kPast, kFuture},
      {"aggregates-range", "aggregates.ofx", CalendarDay{2024, 1, 3}, CalendarDay{2024, 1, 4}},
  };
  const std::string folder = std::string(CORVELA_TEST_DATA) + "/investment/reading/";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The text statements come with a format of their own; the download is read as OFX.
    const std::string formatFile = folder + c.name + ".format.json";
    const Value format = std::filesystem::exists(formatFile)
                             ? fromJSON(testing::readText(formatFile)).value()
                             : Bundle::builtIn().table("CVOFXFormat");
    testing::ScriptedPlatform platform;
    ErrorWarning errorWarning{platform, nullptr};
    DateTables tables = Bundle::builtIn().dateTables();
    InvestmentReader reader{tables, errorWarning};
    const Value records = reader
                              .fromFormattedText(testing::readText(folder + c.input), format,
                                                 c.from, c.to, CalendarDay{2024, 6, 1}, "%m/%d/%Y")
                              .value_or(Value());
    testing::expectDataFile("investment/reading/" + std::string(c.name) + ".expected.json",
                            toJSON(records));
  }
}

}  // namespace
}  // namespace corvela
