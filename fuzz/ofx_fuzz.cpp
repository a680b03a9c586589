// Feeds random downloads to the OFX reader and checks what every record must look like,
// whatever the bytes: a transaction with a date and an amount, or an error record that quotes
// a piece of the download.
//
//   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVELA_FUZZ=ON \
//         -DCORVELA_TESTS=OFF
//   cmake --build build/fuzz --target ofx_fuzz -j2
//   build/fuzz/fuzz/ofx_fuzz -max_total_time=60 -max_len=4096

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/TransactionKeys.h"

namespace {

using namespace corvela;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "ofx_fuzz: %s\n", what);
    std::abort();
  }
}

std::size_t occurrences(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

// A value ends at a line end or the next tag; an escaped "<" (&lt;) may stand in it.
bool isFieldValue(const std::string& value) {
  return value.find_first_of("\r\n") == std::string::npos;
}

void checkRecord(const Value& record, std::string_view download, bool useOFXTRNTYPE) {
  using namespace transactionKey;
  check(record.isDictionary(), "a record is a dictionary");
  if (has(record, errorMessage)) {
    const std::string& message = str(record, errorMessage);
    check(message == kOFXNoDateMessage || message == kOFXNoAmountMessage ||
              message == kOFXBadAmountMessage || message == kOFXNoTypeMessage,
          "an error record carries one of the four messages");
    check(download.find(str(record, errorText)) != std::string_view::npos,
          "an error record quotes its block");
    check(record.size() == 2 + (has(record, trntype) ? 1 : 0), "an error record has no fields");
    check(!has(record, trntype) || (useOFXTRNTYPE && (message == kOFXNoAmountMessage ||
                                                      message == kOFXBadAmountMessage)),
          "only an amount error keeps the type");
    return;
  }
  check(!str(record, date).empty(), "a transaction has a date");
  check(has(record, amount) && has(record, description), "a transaction has amount and name");
  for (std::string_view key : {amount, description, memo, number, trntype}) {
    check(isFieldValue(str(record, key)), "a value never holds a line end");
  }
  check(has(record, trntype) == useOFXTRNTYPE, "the type is kept exactly with the option");
  if (useOFXTRNTYPE && str(record, trntype) == "DEBIT") {
    const std::string& signedAmount = str(record, amount);
    check(!signedAmount.empty() && signedAmount[0] == '-', "a debit is negative");
    check(!signedAmount.starts_with("--") || download.find("--") != std::string_view::npos,
          "a debit gets no second minus from the reader");
  }
}

}  // namespace

// Downloads of a few dozen transactions show every shape the reader knows; longer inputs only
// slow the search down.
constexpr std::size_t kMaxInput = 8192;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (size > kMaxInput) size = kMaxInput;
  // The first byte chooses the options and the range; the rest is the download.
  const std::uint8_t control = data[0];
  std::string_view download(reinterpret_cast<const char*>(data + 1), size - 1);

  CVPrefs store("");
  Preferences options(store);
  const bool useOFXTRNTYPE = control & 1;
  if (useOFXTRNTYPE) options.add(option::useOFXTRNTYPE);
  if (control & 2) options.add(option::confirmAllTransactions);
  CalendarDay from = CalendarDay::distantPast();
  CalendarDay to = CalendarDay::distantFuture();
  if (control & 4) {
    from = {2000 + (control >> 4), 1, 1};
    to = {2000 + (control >> 4), 12, 31};
  }

  OFXReader reader(store, options);
  OFXReadResult result = reader.fromOFX(download, from, to);

  check(result.mustConfirm == ((control & 2) != 0), "mustConfirm follows the option");
  check(result.count() <= occurrences(download, "<STMTTRN>"), "at most one record per block");
  for (std::size_t i = 0; i < result.count(); ++i) {
    checkRecord(result.qif[i], download, useOFXTRNTYPE);
  }
  return 0;
}
