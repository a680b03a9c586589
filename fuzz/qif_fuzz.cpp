// Feeds random registers to the QIF reader and checks what every result must look like: records
// that are dictionaries with a date, a failed line inside the register, at most one record per
// "^", a date range that keeps only records of the whole read, and amount normalisation that
// does its work once.
//
//   scripts/fuzz 60 qif_fuzz

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "text/Lines.h"

namespace {

using namespace corvela;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "qif_fuzz: %s\n", what);
    std::abort();
  }
}

// Registers of real statements are a few kilobytes; longer inputs only repeat the same work
// and slow the search down.
constexpr std::size_t kMaxInput = 8192;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > kMaxInput) return 0;
  // The first byte chooses the options, the range and the QIF type; the rest is the register.
  const std::uint8_t control = data[0];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  CVPrefs store("");
  Preferences options(store);
  if (control & 1) options.add(option::europeanDates);
  if (control & 2) options.add(option::outputEuropeanAmounts);
  const CalendarDay today{2024, 6, 15};
  CalendarDay from = CalendarDay::distantPast();
  CalendarDay to = CalendarDay::distantFuture();
  if (control & 4) {
    from = {2000 + (control >> 4), 1, 1};
    to = {2000 + (control >> 4), 12, 31};
  }

  const TextLines lines = findLines(text);
  std::size_t ends = 0;
  for (std::string_view line : lines) ends += line.starts_with("^");

  QIFReader reader(store, options, Bundle::builtIn());
  QIFReadResult result = reader.fromQIFText(text, 0, from, to, today);
  check(result.failedLine >= 0 && static_cast<std::size_t>(result.failedLine) <= lines.size(),
        "the failed line lies in the register");
  check(result.qif.size() <= ends, "at most one record per ^");
  const int qifType = (control & 8) ? kQIFTypeReverseSigns : 0;
  for (std::size_t i = 0; i < result.qif.size(); ++i) {
    Value record = result.qif[i];
    check(record.isDictionary(), "a record is a dictionary");
    check(!str(record, transactionKey::date).empty(), "a record has a date");
    std::optional<std::string> once = reader.normalizeQIFAmountIn(record, qifType);
    std::optional<std::string> twice = reader.normalizeQIFAmountIn(record, qifType);
    check(once == twice, "an amount is normalised once");
  }
  return 0;
}
