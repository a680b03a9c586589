#pragma once

#include <string_view>

#include "app/ControllerPorts.h"

namespace corvela {

// Stand-ins for the parts of the program that are not built yet. Each port answers from
// available() that it is not available, with a message that says what cannot be done; the
// controller asks before anything else and shows the message under kNotAvailableTitle, so the
// other methods are never reached (they do nothing; a processor reports an empty run).

inline constexpr std::string_view kNotAvailableTitle = "Not Available Yet";

class BankRunNotAvailable : public BankRun {
 public:
  Status available() const override;
  void setTransactions(RecordList qif, bool mustConfirm) override;
  void setFeed(RunFeed feed) override;
  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            RunEnd end) override;
  void continueWith(const Value& continuation, std::string& buffer, const RunSettings& settings,
                    RunEnd end) override;
};

class InvestmentRunNotAvailable : public InvestmentRun {
 public:
  Status available() const override;
  bool fromFormattedText(const std::string& text, const Value& format, CalendarDay fromDate,
                         CalendarDay toDate) override;
  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            RunEnd end) override;
  void continueWith(const Value& continuation, std::string& buffer, const RunSettings& settings,
                    RunEnd end) override;
};

class TextReadingNotAvailable : public TextReading {
 public:
  Status available() const override;
  std::unique_ptr<RecordWindows> fromFormattedText(const std::string& text, const Value& format,
                                                   CalendarDay fromDate,
                                                   CalendarDay toDate) override;
};

class InputFormatToolsNotAvailable : public InputFormatTools {
 public:
  Status available() const override;
  void importFile(const std::string& path) override;
  void learnFromString(const std::string& text, const std::string& cString,
                       const std::string& name) override;
  void addFormat(const Value& format) override;
};

// One of each, for main to hand to the controller until the real parts exist.
struct NotAvailableYet {
  BankRunNotAvailable bank;
  InvestmentRunNotAvailable investment;
  TextReadingNotAvailable text;
  InputFormatToolsNotAvailable inputFormats;
};

}  // namespace corvela
