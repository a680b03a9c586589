#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "banking/RunFeed.h"
#include "banking/RunSettings.h"
#include "banking/RunTally.h"
#include "platform/Status.h"
#include "prefs/Value.h"
#include "readers/RecordList.h"
#include "readers/RecordWindows.h"
#include "text/CalendarDay.h"

namespace corvela {

// The parts of the program that the controller hands an input or a run to. Each is a small
// interface so that the program can plug in the real part, tests a fake, and a part that is
// not built yet an honest "not available yet" (see NotAvailableYet.h). Every port but the list
// import (which is always there) answers available() first: an error status carries the message to
// show, and then none of its other methods may be called.

// The end of a run, reported once by a processor: how many transactions went into the output
// buffer, and the continuation dictionary when the person chose to finish later.
using RunEnd = std::function<void(int count, std::optional<Value> continuation)>;

// The bank and credit-card processor (BankingCreditCardQIF; see BankingRun.h).
class BankRun {
 public:
  virtual ~BankRun() = default;
  virtual Status available() const = 0;
  // The records a reader produced for the next run (transaction records, in order);
  // `mustConfirm` sends every one through the confirmation dialog.
  virtual void setTransactions(RecordList qif, bool mustConfirm) = 0;
  // Feeds the run started next a window at a time; setTransactions ends the feeding.
  virtual void setFeed(RunFeed feed) = 0;
  // Walks the records, appending each finished transaction to `buffer`, which the controller
  // owns and keeps alive until `end` has been called. `end` is called exactly once, possibly
  // before this returns.
  virtual void processInstructionsAndAppendToString(std::string& buffer,
                                                    const RunSettings& settings, RunEnd end) = 0;
  // Resumes the run saved in `continuation` (it holds `qif`); as above.
  virtual void continueWith(const Value& continuation, std::string& buffer,
                            const RunSettings& settings, RunEnd end) = 0;
  // What became of the transactions of the run that ended last; none known by default.
  virtual RunTally tally() const { return {}; }
};

// The investment processor with its readers (investment text and investment OFX).
class InvestmentRun {
 public:
  virtual ~InvestmentRun() = default;
  virtual Status available() const = 0;
  // Reads the investment transactions of `text` with the input format `format` in the range;
  // false when the text cannot be read with it.
  virtual bool fromFormattedText(const std::string& text, const Value& format, CalendarDay fromDate,
                                 CalendarDay toDate) = 0;
  virtual void processInstructionsAndAppendToString(std::string& buffer,
                                                    const RunSettings& settings, RunEnd end) = 0;
  // Resumes the run saved in `continuation` (it holds `iqif` and `format`).
  virtual void continueWith(const Value& continuation, std::string& buffer,
                            const RunSettings& settings, RunEnd end) = 0;
};

// The reader of bank and credit-card text read with an input format.
class TextReading {
 public:
  virtual ~TextReading() = default;
  virtual Status available() const = 0;
  // The records of `text` read with `format` in the range, a window at a time, or none when the
  // text holds no transaction. The text must outlive the reading.
  virtual std::unique_ptr<RecordWindows> fromFormattedText(const std::string& text,
                                                           const Value& format,
                                                           CalendarDay fromDate,
                                                           CalendarDay toDate) = 0;
};

// The import of QIF list exports (accounts, categories, securities) found at the top of an
// input.
class QIFListImport {
 public:
  virtual ~QIFListImport() = default;
  // Imports the lists at the top of `text`. Answers a set of bits (1 accounts replaced,
  // 2 categories replaced, 4 securities replaced, 8 the lines ended inside a list), or -1 for
  // an export that cannot be read, and sets *indexPtr to the line where the transactions
  // begin when the answer is not 0. `source` describes the input for messages.
  virtual int process(std::string_view text, std::size_t* indexPtr, const std::string& source) = 0;
};

// The input-format tools that work on files and the learning wizard.
class InputFormatTools {
 public:
  virtual ~InputFormatTools() = default;
  virtual Status available() const = 0;
  // Imports an exported input format (a .cvef file).
  virtual void importFile(const std::string& path) = 0;
  // Starts learning a new input format named `name` from the text of the input.
  virtual void learnFromString(const std::string& text, const std::string& cString,
                               const std::string& name) = 0;
  // Adds `format` to the input-format store (replacing the one of the same name).
  virtual void addFormat(const Value& format) = 0;
};

// The output format definition dialog.
class OutputFormatDefinition {
 public:
  virtual ~OutputFormatDefinition() = default;
  virtual Status available() const = 0;
  // Edits the output format at `index` (-1: a new one named `name`, its type fixed when
  // `forceType`). Returns when the dialog is closed.
  virtual void editFormatAtIndex(int index, const std::string& name, bool forceType) = 0;
};

}  // namespace corvela
