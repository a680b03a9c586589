#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "investment/InvestmentFields.h"
#include "investment/InvestmentReader.h"
#include "investment/OFXInvestmentText.h"
#include "investment/TypeMappings.h"
#include "prefs/Bundle.h"
#include "prefs/ValueText.h"
#include "support/Corpus.h"
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
    const std::optional<RecordList> read =
        reader.fromFormattedText(testing::readText(folder + c.input), format, c.from, c.to,
                                 CalendarDay{2024, 6, 1}, "%m/%d/%Y");
    const Value records = read ? read->toValue() : Value();
    testing::expectDataFile("investment/reading/" + std::string(c.name) + ".expected.json",
                            toJSON(records));
  }
}

// The first of `types` whose ofxType occurs in `text`, found by searching for each in turn: the
// rule OFXTypes answers by reading the text once.
std::string firstTypeIn(const Value& types, std::string_view text) {
  for (const Value& entry : types.toArray()) {
    const std::string& ofxType = str(entry, formatMappingKey::ofxType);
    if (!ofxType.empty() && text.find(ofxType) != std::string_view::npos)
      return str(entry, formatMappingKey::formatType);
  }
  return std::string(kUnknownOFXType);
}

// Random lists of the bundle's types and of others that are no tag, in random order, looked for
// in random texts of tags, their pieces and values, and in every aggregate of the corpus.
TEST(InvestmentReadingTest, OFXTypesFindTheFirstTypeThatOccurs) {
  const Value bundled = Bundle::builtIn().table("CVOFXFormat")[inputFormatKey::Types];
  std::vector<Value> pool(bundled.toArray().begin(), bundled.toArray().end());
  for (const char* other : {"DIV", "<TRNAMT", "TRNAMT>-", "<", ">", "<<X>", "", "</INCOME>DIV"}) {
    pool.push_back(
        Value{{std::string(formatMappingKey::ofxType), Value(other)},
              {std::string(formatMappingKey::formatType), Value(std::string("other ") + other)}});
  }
  const std::vector<std::string> pieces = {
      "<",           ">",        "</",       "<INCOME>", "</INCOME>", "<INCOMETYPE>",
      "DIV",         "INTEREST", "<TRNAMT>", "-",        "<BUYTYPE>", "BUYTOCOVER",
      "</BUYSTOCK>", "<X>",      "<<X>",     "TRNAMT>",  " ",         "5.53"};
  std::mt19937 rng(20261208);
  for (int round = 0; round < 2000; ++round) {
    std::shuffle(pool.begin(), pool.end(), rng);
    const Value types(Value::Array(
        pool.begin(),
        pool.begin() + std::uniform_int_distribution<std::size_t>(0, pool.size())(rng)));
    const OFXTypes prepared(types);
    for (int text = 0; text < 10; ++text) {
      std::string aggregate;
      for (int n = std::uniform_int_distribution<int>(0, 12)(rng); n > 0; --n)
        aggregate += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
      ASSERT_EQ(prepared.typeOf(aggregate), firstTypeIn(types, aggregate))
          << "round " << round << ", text \"" << aggregate << "\"";
    }
  }
  const OFXTypes prepared(bundled);
  int aggregates = 0;
  for (const std::string& statement : testing::corpusStatements()) {
    const std::string text = testing::readText(testing::kCorpus / statement);
    for (const OFXAggregate& aggregate : ofxInvestmentTransactions(text)) {
      ASSERT_EQ(prepared.typeOf(aggregate.text), firstTypeIn(bundled, aggregate.text)) << statement;
      ++aggregates;
    }
  }
  EXPECT_GT(aggregates, 50);
}

}  // namespace
}  // namespace corvela
