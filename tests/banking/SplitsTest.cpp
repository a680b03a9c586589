// Split amounts that add up: exact decimal reading and writing, balancing in the confirmation
// table, and split totals in every record written from the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "banking/DecimalAmount.h"
#include "banking/NonInteractiveAnswers.h"
#include "readers/OFXReader.h"
#include "readers/TransactionKeys.h"
#include "support/CaseFile.h"
#include "support/Corpus.h"
#include "text/Amounts.h"
#include "text/TextFile.h"

namespace corvela::testing {
namespace {

TEST(DecimalAmount, ReadsAndWritesExactly) {
  expectCaseFile(
      "banking/decimal-amounts.txt", [](const std::string& text, const std::string& words) {
        int precision = std::stoi(words.substr(10));
        std::optional<std::int64_t> units = readDecimalAmount(text, precision);
        return units ? std::to_string(*units) + ", written " + writeDecimalAmount(*units, precision)
                     : "no amount";
      });
  // Units the case file does not write: a padded fraction, and the smallest there is.
  EXPECT_EQ(writeDecimalAmount(5, 2), "0.05");
  EXPECT_EQ(writeDecimalAmount(INT64_MIN, 2), "-92233720368547758.08");
}

// A fixed amount is written as printf writes it (less the sign of a zero): amounts as read from
// texts with up to twelve decimals, halfway cases, the edges of the short way, huge and tiny.
TEST(DecimalAmount, WritesFixedAmountsAsPrintfDoes) {
  std::vector<double> amounts = {0.0,    -0.0,     0.125,        -0.125, 2.5,        0.005, 1.005,
                                 -0.004, 98765.43, 0x1p40 - 0.5, 0x1p40, 1e12 + 0.5, 1e300, 5e-324};
  std::mt19937_64 random(17);
  for (int i = 0; i < 4000; ++i) {
    std::string text = std::to_string(random() % 100'000'000'000'000);
    const std::size_t decimals = random() % 13;
    if (decimals > 0) text.insert(text.size() - std::min(decimals, text.size()), ".");
    amounts.push_back(std::strtod(text.c_str(), nullptr) * (random() % 2 ? -1 : 1));
  }
  for (int decimals = 0; decimals <= kMaxFixedDecimals; ++decimals) {
    for (double amount : amounts) {
      char printed[400];
      std::snprintf(printed, sizeof printed, "%.*f", decimals, amount);
      std::string_view expected = printed;
      if (expected.find_first_not_of("-0.") == std::string_view::npos)
        expected.remove_prefix(expected.front() == '-' ? 1 : 0);
      ASSERT_EQ(writeFixedAmount(amount, decimals), expected) << amount << ", " << decimals;
    }
  }
}

// The cases of tests/data/banking/balancing.txt.
TEST(BalancingTest, SplitsAddUpToTheTransaction) {
  expectCaseFile("banking/balancing.txt", [](const std::string& splits, const std::string& words) {
    std::istringstream in(words);
    std::string precision, total, typed, word;
    std::size_t row = 0;
    in >> word >> precision >> word >> total >> word >> row >> word >> typed;
    BankingHarness h;
    if (words.ends_with(" european")) h.options.add(option::outputEuropeanAmounts);
    h.startWith(R"({"bccAmountsPrecision": )" + precision +
                    R"(, "Instructions": [{"descriptionMatch": "SHOP", "category": "C",
                        "categoryConfirm": "Y", "splits": )" +
                    splits + "}]}",
                {}, "D1/2/24\nPSHOP\nT" + total + "\n^\n");
    if (h.processor.openDialog() != BankingCreditCardQIF::Dialog::confirm)
      return std::string("no confirmation");
    h.processor.tableViewSetObjectValue(SplitTable::confirm, "amount", row, typed);
    std::string amounts;
    for (const SplitRow& split : h.confirm().splits.rows)
      amounts += (amounts.empty() ? "" : " ") + split.amount;
    return amounts;
  });
}

// Deleting splits, the amount tab's balancing, the amount fields' formats and splits taught in
// the new-instruction dialog are scripts of tests/data/dialogs/.

// Every record written with splits has split amounts that add up to its total, exactly, at the
// store's bccAmountsPrecision: for every bank and card statement of the corpus, with its own
// splits and with stored split instructions (one without an amount) applied to every
// transaction.
namespace fs = std::filesystem;

struct Store {
  const char* name;
  int precision;
  std::vector<std::string_view> options;
  // The splits of an instruction stored for every description; none keeps the input's own.
  const char* splits;
};

const Store kStores[] = {
    {"OwnSplits", 2, {option::dontAddCategories}, nullptr},
    {"EmptyFirstAtPrecisionThree",
     3,
     {},
     R"([{"category": "Housing:Rent"}, {"category": "Utilities:Phone", "amount": "-0.125"}])"},
    {"EmptyLastConfirmedInEuropeanNotation",
     2,
     {option::confirmAllTransactions, option::outputEuropeanAmounts},
     R"([{"category": "Utilities:Phone", "amount": "-20.00"},
         {"category": "Housing:Rent", "amount": ""}])"},
};

// The bank and card transactions of a corpus file (its first register for QIF); none when
// the file holds none this program reads.
std::optional<Value> transactionsOf(const fs::path& file, BankingHarness& h) {
  Result<DecodedText> decoded = readTextFile(file.string());
  if (!decoded.ok()) return std::nullopt;
  const std::string& text = decoded.value().text;
  Value read;
  if (lowerExtension(file) == ".qif") {
    const TextLines lines = findLines(text);
    auto header = std::find_if(lines.begin(), lines.end(), [](std::string_view line) {
      return line.starts_with("!Type:Bank") || line.starts_with("!Type:CCard");
    });
    if (header == lines.end()) return std::nullopt;
    QIFReadResult result = h.reader.fromQIFText(
        text, static_cast<std::size_t>(header - lines.begin()) + 1, CalendarDay::distantPast(),
        CalendarDay::distantFuture(), CalendarDay{2024, 6, 15});
    if (!result.ok()) return std::nullopt;
    read = result.qif.toValue();
  } else {
    read = OFXReader(h.store.prefs, h.options)
               .fromOFX(text, CalendarDay::distantPast(), CalendarDay::distantFuture())
               .qif.toValue();
  }
  // Blocks a reader could not use are not this check's business.
  Value transactions = Value::array();
  for (const Value& record : read.toArray())
    if (!has(record, transactionKey::errorMessage)) transactions.append(record);
  if (transactions.size() == 0) return std::nullopt;
  return transactions;
}

class SplitBalanceCorpusTest : public ::testing::TestWithParam<Store> {};

TEST_P(SplitBalanceCorpusTest, SplitsAddUpToTheirTotalInEveryRecordWritten) {
  const Store& store = GetParam();
  std::size_t recordsWithSplits = 0;
  for (const std::string& name : corpusStatements()) {
    const fs::path file = kCorpus / name;
    SCOPED_TRACE(name);
    BankingHarness h;
    h.store.prefs.setInt("bccAmountsPrecision", store.precision);
    for (std::string_view name : store.options) h.options.add(name);
    // Transfers to accounts the empty store does not know are warned about; nobody is there.
    for (int i = 0; i < 5000; ++i) h.platform.answerNextAlert(0);
    std::optional<Value> transactions = transactionsOf(file, h);
    if (!transactions) continue;
    if (store.splits) {
      // One instruction per description, so that every transaction is matched by one.
      Value instructions = Value::array();
      for (const Value& record : transactions->toArray()) {
        std::string match = str(record, transactionKey::description);
        Result<Value> splits = fromJSON(store.splits);
        ASSERT_TRUE(splits.ok());
        instructions.append(Value{{"descriptionMatch", match.empty() ? "NO DESCRIPTION" : match},
                                  {"category", ""},
                                  {"categoryConfirm", "Y"},
                                  {"splits", splits.value()}});
      }
      h.store.prefs.setObject("Instructions", instructions);
    }
    h.processor.setTransactions(RecordList(*transactions),
                                h.options.isOn(option::confirmAllTransactions));
    h.processor.processInstructionsAndAppendToString(h.output, h.settings, h.end.callback());
    answerWithoutDialogs(h.processor);
    ASSERT_EQ(h.end.calls, 1);

    std::size_t start = 0;
    for (std::size_t end; (end = h.output.find("^\n", start)) != std::string::npos;
         start = end + 2) {
      std::optional<std::int64_t> total;
      std::optional<std::int64_t> sum;
      bool readable = true;
      for (const std::string& line : findLines(h.output.substr(start, end - start)).strings()) {
        if (line.empty() || (line[0] != 'T' && line[0] != '$')) continue;
        std::optional<std::int64_t> amount =
            readDecimalAmount(convertEuropeanAmount(line.substr(1)), store.precision);
        // A damaged input's text ("T42.32CX" in a file missing its line ends) is no amount.
        if (!amount) readable = false;
        if (line[0] == 'T') total = amount.value_or(0);
        if (line[0] == '$') sum = sum.value_or(0) + amount.value_or(0);
      }
      // A record read without an amount has no total for its splits to add up to.
      if (!sum || !total || !readable) continue;
      ++recordsWithSplits;
      EXPECT_EQ(sum, total) << h.output.substr(start, end - start);
    }
  }
  EXPECT_GT(recordsWithSplits, 20u) << "the corpus was not found or holds no splits";
}

INSTANTIATE_TEST_SUITE_P(Corpus, SplitBalanceCorpusTest, ::testing::ValuesIn(kStores),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace
}  // namespace corvela::testing
