#pragma once

#include <cstddef>
#include <string_view>

#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "text/CalendarDay.h"

namespace corvela {

class CVPrefs;
class Preferences;

// What reading an OFX or QFX download gives the bank and credit-card processor.
struct OFXReadResult {
  // The records in download order: transaction records, and error records (`errorMessage` and
  // `errorText`, perhaps `trntype`) for blocks that could not be read. The processor shows each
  // error record to the person and skips it.
  RecordList qif;
  // Whether every transaction is to be confirmed: the option "confirmAllTransactions" when the
  // download was read.
  bool mustConfirm = false;

  // The number of records, transactions and error records together.
  std::size_t count() const { return qif.size(); }
};

// The texts of the error records. Each ends with a blank; the block's text follows it when the
// record is shown.
inline constexpr std::string_view kOFXNoDateMessage =
    "The following OFX transaction does not contain a date; it cannot be processed: ";
inline constexpr std::string_view kOFXNoAmountMessage =
    "The following OFX transaction has no amount; it cannot be processed: ";
inline constexpr std::string_view kOFXBadAmountMessage =
    "The following OFX transaction has an amount that cannot be read; it cannot be processed: ";
inline constexpr std::string_view kOFXNoTypeMessage =
    "The following OFX transaction has no type; it cannot be processed: ";

// Reads the transactions of an OFX or QFX bank or credit-card download (OFX 1.x SGML or 2.x
// XML) into transaction records. It scans for tags rather than parsing the markup: a value
// runs from its opening tag to the next line end or "<", which serves both forms. Investment
// statements are not read here.
//
// Options and the date pattern are read when fromOFX runs, so a change in the options dialog
// takes effect at once. The store and the options are borrowed and must outlive the reader.
class OFXReader {
 public:
  OFXReader(const CVPrefs& store, const Preferences& options);

  // Cuts `text` (the whole download, decoded to UTF-8) at every "<STMTTRN>" and turns each
  // block into a record, in download order. A block whose posting date lies outside `fromDate`
  // to `toDate` (both included) gives no record; CalendarDay::distantPast() and
  // distantFuture() take every transaction. Text without "<STMTTRN>" gives no records.
  //
  // A record has `date` (the posting day written with the store's `OutputDateFormat`, default
  // "%m/%d/%Y"), `description` (from <NAME>, empty when absent), `amount` (from <TRNAMT>, as
  // written, except that a decimal comma becomes a point: -130,00 gives -130.00), and `memo`
  // (<MEMO>) and `number` when present: in a credit-card download the number comes from <REFNUM>,
  // in a bank download from <REFNUM> or else <CHECKNUM>. With the option "useOFXTRNTYPE" on it also
  // has `trntype` (<TRNTYPE>), and a DEBIT amount is made negative unless it already is.
  //
  // Never fails; a block that cannot be read becomes an error record with `errorMessage` and
  // the block as `errorText`: kOFXNoDateMessage when <DTPOSTED> is missing, is not followed by
  // eight digits (white space before them is skipped, a time after them ignored) or they name no
  // real day (20241340), kOFXNoAmountMessage when <TRNAMT> is missing, kOFXBadAmountMessage
  // when its value is no amount (an optional sign, digits with at most one decimal point or
  // comma, at most 18 digits: "NaN", "inf", "0x10", "1e-308", "1,2,3.4.5" and "" are not), and,
  // with "useOFXTRNTYPE" on, kOFXNoTypeMessage when <TRNTYPE> is missing. With the option on, an
  // amount error record also keeps the `trntype`.
  OFXReadResult fromOFX(std::string_view text, CalendarDay fromDate, CalendarDay toDate) const;

  // Finds the first `ofxLabel` (a tag with its angle brackets, such as "<MEMO>"; case counts)
  // in `ofxTransaction` and stores its value under `key` in `qifTransaction`: the text after
  // the tag and any white space (line ends included), up to the next line end, "<" or the end
  // of the block. Trailing blanks stay; an empty value is stored as the empty string. Returns
  // whether the tag was found; when it was not, the record is left as it was.
  static bool addField(std::string_view key, std::string_view ofxLabel,
                       std::string_view ofxTransaction, Value& qifTransaction);

 private:
  const CVPrefs& store_;
  const Preferences& options_;
};

}  // namespace corvela
