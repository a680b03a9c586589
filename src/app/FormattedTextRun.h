#pragma once

#include <memory>
#include <string>

#include "app/ControllerPorts.h"
#include "banking/FormattedTextReader.h"

namespace corvela {

// The controller's port for bank and credit-card text over the real reader, which is borrowed
// and must outlive this object. Dates without a year fall within the year up to today.
class FormattedTextRun : public TextReading {
 public:
  explicit FormattedTextRun(FormattedTextReader& reader) : reader_(reader) {}

  Status available() const override { return Status::OK(); }
  std::unique_ptr<RecordWindows> fromFormattedText(const std::string& text, const Value& format,
                                                   CalendarDay fromDate,
                                                   CalendarDay toDate) override {
    return reader_.windows(text, format, fromDate, toDate, CalendarDay::today());
  }

 private:
  FormattedTextReader& reader_;
};

}  // namespace corvela
