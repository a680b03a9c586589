#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/Value.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"
#include "text/Dates.h"
#include "text/ScanState.h"
#include "text/TextSpan.h"

namespace corvela {

// The messages of an unreadable transaction. The first holds "%@" for the format's Fields value.
inline constexpr std::string_view kExtractBadSeparatedValuesMessage =
    "The following transaction has invalid %@ format; it cannot be processed: ";
inline constexpr std::string_view kExtractUninterpretableMessage =
    "The transaction cannot be interpreted with the specified format.  Try re-defining the "
    "format, paying very close attention to the instructions.";
inline constexpr std::string_view kExtractNoDateMessage =
    "The following transaction does not contain a date that can be interpreted; it cannot be "
    "processed: ";

// Cuts `text` into transaction texts (chunks) as the input format record `format` marks them,
// in text order. Pure: nothing but `state` (the date finder's memory) changes.
//  - No transaction date anywhere in the text (findDate of text/Dates.h with the format's date
//    rule): no chunks.
//  - Chunk mode (no OneTransactionPerLine): a chunk starts at each transaction date and ends just
//    before the character in front of the next one (that DateStart character is in no chunk); the
//    last runs to the end of the text. Text before the first date is ignored, unless the format
//    has firstLineStartsWithTransactionDate: then the first chunk starts at the very start.
//  - Line mode (OneTransactionPerLine): from the start of the line that holds the first date (the
//    very start with firstLineStartsWithTransactionDate), every carriage return and every line
//    feed ends a chunk, so CR LF gives an empty chunk between two lines; lines without a date are
//    chunks too. A break that is the last character of the text adds no empty chunk.
std::vector<std::string> splitTextIntoLines(std::string_view text, const Value& format,
                                            const DateTables& tables, ScanState& state);

// The chunks of line mode (see splitTextIntoLines) from `start` on, cut one at a time as they
// are asked for: a long statement read line by line needs no list of its lines.
class LineChunks {
 public:
  LineChunks(std::string_view text, std::size_t start);
  // Sets `chunk` to the next line and answers true; false once the text is used up.
  bool next(TextSpan& chunk);

 private:
  std::string_view text_;
  std::size_t start_;
  // The next line feed and the next carriage return, each kept until passed, so that a text with
  // one kind of line end is not searched to its end for the other at every line.
  std::size_t lf_, cr_;
};

// One chunk cut into fields, or the reason it cannot be.
struct ChunkFields {
  std::vector<std::string> fields;
  // Empty when the chunk was cut; otherwise the message of the error (one of the kExtract...
  // messages above, "%@" already filled in).
  std::string error;

  bool ok() const { return error.empty(); }
};

// Cuts one chunk into its fields by the format's Fields rule (findField of text/Fields.h), in
// text order:
//  - A format with the key OFX: two fields, the first 8 bytes and the rest.
//  - Otherwise each field loses its leading blanks, carriage returns and line feeds inside it
//    become blanks, and its trailing blanks are dropped, except with the separated-values rules
//    ("CSV", "SSV": Fields ending in "SV"), where they stay.
//  - Separated values: a field that begins with a double quote (after blanks) must end with one
//    (blanks after it are allowed); both quotes go, so do blanks before the closing one, and a
//    doubled quote inside becomes one. A field that opens a quote and never closes it, or is a
//    lone quote, gives kExtractBadSeparatedValuesMessage.
//  - A separator at the very end of the chunk adds no empty last field; an empty chunk has none.
// `state.initialBlanks` is set first to the blanks in front of a transaction date (the format's
// DistanceFromNewline less one, else 0), so every chunk is cut the same whatever came before.
ChunkFields cutFields(std::string_view chunk, const Value& format, ScanState& state);

// How the chunks of one format are cut: its Fields rule, OFX key and the blanks in front of a
// transaction date (DistanceFromNewline less one), read from the record once per reading.
struct FieldCutting {
  std::string rule;
  bool ofx = false;
  bool separatedValues = false;
  int initialBlanks = 0;
};

// What the extractor hands a reader for each transaction: its fields, the date field already
// written in the output date pattern, or an error triple (the message and the chunk's text).
struct ExtractedTransaction {
  std::vector<std::string> fields;  // empty for an error
  std::string error;                // empty for a transaction
  std::string text;                 // the chunk, for an error

  bool isError() const { return !error.empty(); }
};

// The extractor: reads one text with one input format, transaction by transaction, for the bank
// and credit-card processor and the investment processor alike. One reading at a time:
// parseTransactionsForCString starts it, nextTransactionUsingFormat walks it.
class Extract {
 public:
  // `tables` is borrowed and must outlive the extractor. `today` completes dates written without
  // a year; `outputDateFormat` is the strftime pattern the date field is rewritten in.
  Extract(const DateTables& tables, CalendarDay today, std::string outputDateFormat);

  // Cuts `text` into chunks (splitTextIntoLines) and starts before the first. False when the
  // text holds no chunk. `text` is borrowed: it must outlive the reading, unchanged.
  bool parseTransactionsForCString(std::string_view text, const Value& format);

  // The next transaction whose date lies from `fromDate` to `toDate` (both included), or an
  // error triple for the next unreadable chunk (the strings of `transaction` are reused, so
  // passing the same one each time spares allocations); false when the chunks are used up. Empty
  // chunks and transactions outside the range are passed over without a word. The date is the
  // format's Date column (0 when absent): a chunk without that field, or whose field parseDate
  // cannot read or names no real day, gives kExtractNoDateMessage. The format's rules are those
  // read by parseTransactionsForCString: `format` must be the record the reading began with.
  bool nextTransactionUsingFormat(const Value& format, CalendarDay fromDate, CalendarDay toDate,
                                  ExtractedTransaction& transaction);

 private:
  // The next chunk of the reading, in text order; false once they are used up.
  bool nextChunk(TextSpan& chunk);

  const DateTables& tables_;
  CalendarDay today_;
  DayWriter writeDay_;  // with the output date pattern
  ScanState state_;
  std::int64_t dateColumn_ = 0;
  DateRule dateRule_;
  FieldCutting cutting_;
  std::string_view text_;  // the text of the reading (borrowed)
  // Where each chunk lies in it: listed in chunk mode, walked in line mode.
  std::vector<TextSpan> chunks_;
  std::size_t nextChunk_ = 0;
  std::optional<LineChunks> lines_;
  // The last date field read and its day (none when it names no real day): neighbouring
  // transactions mostly share their day, which is then read once for them.
  struct LastDate {
    std::string field;
    std::optional<CalendarDay> day;
  };
  std::optional<LastDate> lastDate_;
};

}  // namespace corvela
