#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "banking/ConfirmView.h"
#include "banking/NewInstructionView.h"
#include "investment/InvestmentViews.h"
#include "platform/Platform.h"

namespace corvela::cli {

// The command line's Platform: nobody is there to answer, so every question takes its default
// answer, and what was asked and answered is reported on `err`. The save panel answers the path
// the command was given; the status view keeps what it was last asked to show.
class UnattendedPlatform : public Platform {
 public:
  UnattendedPlatform(std::ostream& err, std::string outputPath)
      : err_(err), outputPath_(std::move(outputPath)) {}

  int runAlert(const Alert& alert) override;
  CancelConfirmReply runCancelConfirm() override;
  InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) override;
  std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel& panel) override;
  std::optional<std::string> runSavePanel(const SavePanel& panel) override;
  std::optional<std::string> clipboardText() override { return std::nullopt; }
  void showStatus(const std::string& title, const std::string& text) override;
  void openHelpPage(const std::string&) override {}
  void scheduleOneShot(double, std::function<void()>) override {}

  struct Status {
    std::string title;
    std::string text;
  };
  // Every status the controller showed, in order.
  const std::vector<Status>& statuses() const { return statuses_; }
  void forgetStatuses() { statuses_.clear(); }
  int skippedTransactions() const { return skipped_; }

 private:
  std::ostream& err_;
  std::string outputPath_;
  std::vector<Status> statuses_;
  int skipped_ = 0;
};

// The main window of a run without windows; the command reads the control view's state from
// the controller's form.
class UnattendedMainView : public MainView {
 public:
  void show(const MainForm&) override {}
  void showControlView(const std::string&) override {}
  bool isVisible() const override { return false; }
  void hideKeyWindow() override {}
  void focus(MainControl) override {}
};

// The two dialogs of the bank processor, unseen: they only note which one opened, and the
// command answers it once the processor has returned (answering from inside show() would run
// the processor's loop inside itself).
class UnattendedDialogs : public ConfirmView, public NewInstructionView {
 public:
  void show(const ConfirmForm&) override {}
  void update(const ConfirmForm&) override {}
  void show(const NewInstructionForm&) override {}
  void update(const NewInstructionForm&) override {}
  void endEditing() override {}
};

// The investment confirmation window, unseen: the command answers the view the run waits in
// once the processor has returned (see answerInvestmentWithoutDialogs).
using UnattendedInvestmentWindow = SilentInvestmentWindow;

// A status text as a line of the terminal: the window layout's leading carriage returns
// dropped and the others turned into line ends.
std::string terminalText(const std::string& text);

}  // namespace corvela::cli
