#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Platform.h"

namespace corvela::testing {

// A Platform whose answers are given in advance. Every question it is asked is recorded, and a
// question that was not expected fails the test (it throws, so the gtest reports it).
class ScriptedPlatform : public Platform {
 public:
  // Queue the button index to answer the next alert with.
  void answerNextAlert(int button) { alertAnswers_.push_back(button); }
  // Queue the reply to the next cancel confirmation sheet.
  void answerNextCancelConfirm(int button, CancelRemember remember = CancelRemember::askEveryTime) {
    cancelAnswers_.push_back({button, remember});
  }
  // Queue the reply to the next input-error warning (1 for the default button, 0 for cancel).
  void answerNextInputErrorWarning(int answer, bool dontWarn = false) {
    warningAnswers_.push_back({answer, dontWarn});
  }

  int runAlert(const Alert& alert) override {
    alerts.push_back(alert);
    return next(alertAnswers_, "unexpected alert: " + alert.title + ": " + alert.text);
  }

  CancelConfirmReply runCancelConfirm() override {
    ++cancelConfirms;
    return next(cancelAnswers_, "unexpected cancel confirmation");
  }

  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) override {
    inputErrorWarnings.push_back(warning);
    return next(warningAnswers_, "unexpected input-error warning: " + warning.message);
  }

  bool allAnswersUsed() const {
    return alertAnswers_.empty() && cancelAnswers_.empty() && warningAnswers_.empty();
  }

  std::vector<Alert> alerts;
  int cancelConfirms = 0;
  std::vector<InputErrorWarning> inputErrorWarnings;

 private:
  template <typename T>
  static T next(std::deque<T>& answers, const std::string& unexpected) {
    if (answers.empty()) throw std::logic_error(unexpected);
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<int> alertAnswers_;
  std::deque<CancelConfirmReply> cancelAnswers_;
  std::deque<InputErrorWarningReply> warningAnswers_;
};

}  // namespace corvela::testing
