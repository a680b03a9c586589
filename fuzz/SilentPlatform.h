#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace corvela::fuzz {

// Nobody answers: every question takes its first button and every unreadable transaction is
// skipped, as the command line does. Targets that want to check what they are asked override.
class SilentPlatform : public Platform {
 public:
  int runAlert(const Alert&) override { return 0; }
  std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel&) override { return std::nullopt; }
  std::optional<std::string> runSavePanel(const SavePanel&) override { return std::nullopt; }
  std::optional<std::string> clipboardText() override { return std::nullopt; }
  void showStatus(const std::string&, const std::string&) override {}
  void openHelpPage(const std::string&) override {}
  void scheduleOneShot(double, std::function<void()>) override {}
  CancelConfirmReply runCancelConfirm() override { return {2, CancelRemember::askEveryTime}; }
  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning&) override {
    return {1, false};
  }
};

}  // namespace corvela::fuzz
