#pragma once

#include <string>
#include <utility>

#include "app/ControllerPorts.h"
#include "banking/BankingCreditCardQIF.h"

namespace corvela {

// The controller's bank and credit-card port over the real processor. The processor is
// borrowed and must outlive this object.
class BankingRun : public BankRun {
 public:
  explicit BankingRun(BankingCreditCardQIF& processor) : processor_(processor) {}

  Status available() const override { return Status::OK(); }
  void setTransactions(RecordList qif, bool mustConfirm) override {
    processor_.setTransactions(std::move(qif), mustConfirm);
  }
  void setFeed(RunFeed feed) override { processor_.setFeed(std::move(feed)); }
  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            RunEnd end) override {
    processor_.processInstructionsAndAppendToString(buffer, settings, std::move(end));
  }
  void continueWith(const Value& continuation, std::string& buffer, const RunSettings& settings,
                    RunEnd end) override {
    processor_.continueWith(continuation, buffer, settings, std::move(end));
  }
  RunTally tally() const override { return processor_.tally(); }

 private:
  BankingCreditCardQIF& processor_;
};

}  // namespace corvela
