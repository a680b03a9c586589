#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
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

  bool allAnswersUsed() const {
    return alertAnswers_.empty() && openAnswers_.empty() && saveAnswers_.empty();
  }

  std::vector<Alert> alerts;

  // --- Main window services ---

  // One status view as it was shown.
  struct StatusShown {
    std::string title;
    std::string text;
  };

  // Queue the answer to the next open panel (none: the person cancels).
  void answerNextOpenPanel(std::optional<OpenPanelChoice> choice) {
    openAnswers_.push_back(std::move(choice));
  }
  // Queue the answer to the next save panel (none: the person cancels).
  void answerNextSavePanel(std::optional<std::string> path) {
    saveAnswers_.push_back(std::move(path));
  }

  std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel& panel) override {
    openPanels.push_back(panel);
    if (openAnswers_.empty()) throw std::logic_error("unexpected open panel: " + panel.prompt);
    std::optional<OpenPanelChoice> answer = openAnswers_.front();
    openAnswers_.pop_front();
    return answer;
  }

  std::optional<std::string> runSavePanel(const SavePanel& panel) override {
    savePanels.push_back(panel);
    if (saveAnswers_.empty())
      throw std::logic_error("unexpected save panel: " + panel.suggestedName);
    std::optional<std::string> answer = saveAnswers_.front();
    saveAnswers_.pop_front();
    return answer;
  }

  std::optional<std::string> clipboardText() override { return clipboard; }

  void showStatus(const std::string& title, const std::string& text) override {
    statuses.push_back({title, text});
  }
  // The last status view shown; fails the test when there was none.
  const StatusShown& lastStatus() const {
    if (statuses.empty()) throw std::logic_error("no status view was shown");
    return statuses.back();
  }

  void openHelpPage(const std::string& anchor) override { helpPages.push_back(anchor); }

  void scheduleOneShot(double seconds, std::function<void()> action) override {
    timers.push_back({seconds, std::move(action)});
  }
  // Runs the timers scheduled so far, as the main loop would when they are due.
  void fireTimers() {
    std::vector<Timer> due;
    due.swap(timers);
    for (Timer& timer : due) timer.action();
  }

  struct Timer {
    double seconds;
    std::function<void()> action;
  };

  std::vector<OpenPanel> openPanels;
  std::vector<SavePanel> savePanels;
  std::vector<StatusShown> statuses;
  std::vector<std::string> helpPages;
  std::vector<Timer> timers;
  // What the clipboard holds; none for no plain text.
  std::optional<std::string> clipboard;

 private:
  std::deque<int> alertAnswers_;
  std::deque<std::optional<OpenPanelChoice>> openAnswers_;
  std::deque<std::optional<std::string>> saveAnswers_;
};

}  // namespace corvela::testing
