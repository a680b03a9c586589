// Feeds random text to the formatted-text reader under a format chosen by the first bytes, and
// checks what must hold whatever the bytes: every chunk is a piece of the text, no field holds a
// line end, every record has a date in the output pattern and an amount that reads back, and a
// second reading gives the same records.
//
//   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVELA_FUZZ=ON \
//         -DCORVELA_TESTS=OFF
//   cmake --build build/fuzz --target extract_fuzz -j2
//   build/fuzz/fuzz/extract_fuzz -max_total_time=60 -max_len=4096

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "SilentPlatform.h"
#include "banking/FormattedTextReader.h"
#include "formats/ErrorWarning.h"
#include "inputformats/Extract.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "readers/TransactionKeys.h"

namespace {

using namespace corvela;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "extract_fuzz: %s\n", what);
    std::abort();
  }
}

// Skips every unreadable transaction, as a person pressing "Skip Transaction" would.
class Skipping : public fuzz::SilentPlatform {
 public:
  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) override {
    check(!warning.message.empty(), "an error triple has a message");
    return {1, false};
  }
};

constexpr std::string_view kRules[] = {"INITIAL_BLANKS",  "COLUMNS", "COUNT", "TABS_ONLY",
                                       "MULTIPLE_BLANKS", "CSV",     "SSV",   "OFX"};
constexpr std::string_view kDelimiters[] = {"/", "-", ".", ","};
constexpr std::string_view kBoundaries[] = {"\n", "\r", "\t", " ", ",", ";", "\"", ""};
constexpr std::string_view kColumnKeys[] = {"Date",  "Check",        "Description",
                                            "Memo",  "Category",     "Credit",
                                            "Debit", "Debit/Credit", "Indicator"};

Value formatFrom(const std::uint8_t* data) {
  Value format{{"Name", "fuzz"}};
  format.set("Fields", kRules[data[0] % 8]);
  if (data[0] & 0x80) format.set("OFX", true);
  format.set("DateDelimiter", kDelimiters[data[1] % 4]);
  format.set("DateStart", kBoundaries[(data[1] >> 2) % 8]);
  format.set("DateEnd", kBoundaries[(data[1] >> 5) % 8]);
  format.set("OneTransactionPerLine", (data[2] & 1) != 0);
  format.set("firstLineStartsWithTransactionDate", (data[2] & 2) != 0);
  format.set("DayBeforeMonth", (data[2] & 4) != 0);
  format.set("InvertAmount", (data[2] & 8) != 0);
  if (data[2] & 16) format.set("DistanceFromNewline", static_cast<int>(data[2] >> 5));
  if (data[2] & 32) format.set("DebitIndicator", "D");
  if (data[2] & 64) format.set("CreditIndicator", "C");
  for (std::size_t i = 0; i < std::size(kColumnKeys); ++i)
    if (data[3 + i] < 0xC0) format.set(kColumnKeys[i], static_cast<int>(data[3 + i] % 6));
  return format;
}

constexpr std::size_t kFormatBytes = 3 + std::size(kColumnKeys);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kFormatBytes) return 0;
  static const DateTables tables = Bundle::builtIn().dateTables();
  const Value format = formatFrom(data);
  const std::string_view text(reinterpret_cast<const char*>(data) + kFormatBytes,
                              size - kFormatBytes);

  ScanState state;
  for (const std::string& chunk : splitTextIntoLines(text, format, tables, state)) {
    check(text.find(chunk) != std::string_view::npos, "a chunk is a piece of the text");
    ChunkFields cut = cutFields(chunk, format, state);
    check(cut.ok() || cut.fields.empty(), "an error has no fields");
    if (!format.contains("OFX"))
      for (const std::string& field : cut.fields)
        check(field.find_first_of("\r\n") == std::string::npos, "no field holds a line end");
  }

  CVPrefs store("/nonexistent/extract_fuzz.prefs");
  store.setObject("OutputDateFormat", "%Y-%m-%d");
  Skipping platform;
  ErrorWarning warning(platform, nullptr);
  FormattedTextReader reader(store, tables, warning);
  const CalendarDay today{2024, 6, 1};
  std::optional<RecordList> first = reader.fromFormattedText(
      text, format, CalendarDay::distantPast(), CalendarDay::distantFuture(), today);
  if (!first) return 0;
  for (const Value& record : *first) {
    const std::string& date = str(record, transactionKey::date);
    check(date.size() >= 8 && date[date.size() - 3] == '-' && date[date.size() - 6] == '-',
          "a date in the output pattern");
    const std::string& amount = str(record, transactionKey::amount);
    char* end = nullptr;
    std::strtod(amount.c_str(), &end);
    check(!amount.empty() && end == amount.c_str() + amount.size(), "an amount that reads back");
    check(amount.find('.') == amount.size() - 3, "two decimals");
  }
  std::optional<RecordList> second = reader.fromFormattedText(
      text, format, CalendarDay::distantPast(), CalendarDay::distantFuture(), today);
  check(second && *second == *first, "a second reading gives the same records");
  return 0;
}
