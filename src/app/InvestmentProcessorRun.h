#pragma once

#include <string>
#include <utility>

#include "app/ControllerPorts.h"
#include "investment/InvestmentQIF.h"

namespace corvela {

// The controller's investment port over the real processor. The processor is borrowed and must
// outlive this object.
class InvestmentProcessorRun : public InvestmentRun {
 public:
  explicit InvestmentProcessorRun(InvestmentQIF& processor) : processor_(processor) {}

  Status available() const override { return Status::OK(); }
  bool fromFormattedText(const std::string& text, const Value& format, CalendarDay fromDate,
                         CalendarDay toDate) override {
    return processor_.fromFormattedText(text, format, fromDate, toDate);
  }
  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            RunEnd end) override {
    processor_.processInstructionsAndAppendToString(buffer, settings, std::move(end));
  }
  void continueWith(const Value& continuation, std::string& buffer, const RunSettings& settings,
                    RunEnd end) override {
    processor_.continueWith(continuation, buffer, settings, std::move(end));
  }

 private:
  InvestmentQIF& processor_;
};

}  // namespace corvela
