#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace corvela::testing {

// A Platform whose answers are given in advance. Every question it is asked is recorded, and a
// question that was not expected fails the test (it throws, so the gtest reports it).
class ScriptedPlatform : public Platform {
 public:
  // Queue the button index to answer the next alert with.
  void answerNextAlert(int button) { alertAnswers_.push_back(button); }
  // Answer every alert and input-error warning nothing was queued for with the default button
  // (a run over many statements, whose warnings the test does not count).
  void goOnAtEveryWarning() { goOnAtEveryWarning_ = true; }
  // Queue the reply to the next cancel confirmation sheet.
  void answerNextCancelConfirm(int button, CancelRemember remember = CancelRemember::askEveryTime) {
    cancelAnswers_.push_back({button, remember});
  }
  // Queue the reply to the next input-error warning (1 for the default button, 0 for cancel).
  void answerNextInputErrorWarning(int answer, bool dontWarn = false) {
    warningAnswers_.push_back({answer, dontWarn});
  }
  // Queue the answer to the next open panel (none: the person cancels).
  void answerNextOpenPanel(std::optional<OpenPanelChoice> choice) {
    openAnswers_.push_back(std::move(choice));
  }
  // Queue the answer to the next save panel (none: the person cancels).
  void answerNextSavePanel(std::optional<std::string> path) {
    saveAnswers_.push_back(std::move(path));
  }

  int runAlert(const Alert& alert) override {
    alerts.push_back(alert);
    if (alertAnswers_.empty() && goOnAtEveryWarning_) return 0;
    return next(alertAnswers_, "unexpected alert: " + alert.title + ": " + alert.text);
  }

  CancelConfirmReply runCancelConfirm() override {
    ++cancelConfirms;
    return next(cancelAnswers_, "unexpected cancel confirmation");
  }

  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) override {
    inputErrorWarnings.push_back(warning);
    if (warningAnswers_.empty() && goOnAtEveryWarning_) return {1, false};
    return next(warningAnswers_, "unexpected input-error warning: " + warning.message);
  }

  std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel& panel) override {
    openPanels.push_back(panel);
    return next(openAnswers_, "unexpected open panel: " + panel.prompt);
  }

  std::optional<std::string> runSavePanel(const SavePanel& panel) override {
    savePanels.push_back(panel);
    return next(saveAnswers_, "unexpected save panel: " + panel.suggestedName);
  }

  std::optional<std::string> clipboardText() override { return clipboard; }

  // One status view as it was shown.
  struct StatusShown {
    std::string title;
    std::string text;
  };

  void showStatus(const std::string& title, const std::string& text) override {
    statuses.push_back({title, text});
  }
  // The last status view shown; fails the test when there was none.
  const StatusShown& lastStatus() const {
    if (statuses.empty()) throw std::logic_error("no status view was shown");
    return statuses.back();
  }

  void openHelpPage(const std::string& anchor) override { helpPages.push_back(anchor); }

  struct Timer {
    double seconds;
    std::function<void()> action;
  };

  void scheduleOneShot(double seconds, std::function<void()> action) override {
    timers.push_back({seconds, std::move(action)});
  }
  // Runs the timers scheduled so far, as the main loop would when they are due.
  void fireTimers() {
    std::vector<Timer> due;
    due.swap(timers);
    for (Timer& timer : due) timer.action();
  }

  bool allAnswersUsed() const {
    return alertAnswers_.empty() && cancelAnswers_.empty() && warningAnswers_.empty() &&
           openAnswers_.empty() && saveAnswers_.empty();
  }

  std::vector<Alert> alerts;
  int cancelConfirms = 0;
  std::vector<InputErrorWarning> inputErrorWarnings;
  std::vector<OpenPanel> openPanels;
  std::vector<SavePanel> savePanels;
  std::vector<StatusShown> statuses;
  std::vector<std::string> helpPages;
  std::vector<Timer> timers;
  // What the clipboard holds; none for no plain text.
  std::optional<std::string> clipboard;

 private:
  template <typename T>
  static T next(std::deque<T>& answers, const std::string& unexpected) {
    if (answers.empty()) throw std::logic_error(unexpected);
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<int> alertAnswers_;
  bool goOnAtEveryWarning_ = false;
  std::deque<CancelConfirmReply> cancelAnswers_;
  std::deque<InputErrorWarningReply> warningAnswers_;
  std::deque<std::optional<OpenPanelChoice>> openAnswers_;
  std::deque<std::optional<std::string>> saveAnswers_;
};

}  // namespace corvela::testing
