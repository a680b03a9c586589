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

  int runAlert(const Alert& alert) override {
    alerts.push_back(alert);
    if (alertAnswers_.empty())
      throw std::logic_error("unexpected alert: " + alert.title + ": " + alert.text);
    int answer = alertAnswers_.front();
    alertAnswers_.pop_front();
    return answer;
  }

  bool allAnswersUsed() const { return alertAnswers_.empty(); }

  std::vector<Alert> alerts;

 private:
  std::deque<int> alertAnswers_;
};

}  // namespace corvela::testing
