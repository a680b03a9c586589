#pragma once

#include <string>
#include <vector>

namespace corvela {

// An alert: a title, an informative text and up to three buttons. The first button is the
// default one (Return presses it).
struct Alert {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;  // 1 to 3 labels, default first
};

// The switch group of the cancel confirmation sheet: whether the next cancel asks again.
enum class CancelRemember { askEveryTime, alwaysStop, alwaysFinishLater };

// What the person did in the cancel confirmation sheet.
struct CancelConfirmReply {
  // The button pressed: 0 stop, 1 finish later, 2 finish now.
  int button = 0;
  // The switch that was on when the button was pressed (the sheet opens on askEveryTime).
  CancelRemember remember = CancelRemember::askEveryTime;
};

// The input-error warning window: a transaction that cannot be read.
struct InputErrorWarning {
  std::string message;
  std::string text;         // the transaction's own text, shown below the message
  std::string buttonTitle;  // the default button's title, e.g. "Skip Transaction"
  // Whether the "don't warn again" switch is offered (only when an input format is involved).
  bool showDontWarnSwitch = false;
};

// What the person did in the input-error warning window.
struct InputErrorWarningReply {
  // 0 for the cancel button, 1 for the default button (go on).
  int answer = 0;
  // The state of the "don't warn again" switch; it opens cleared.
  bool dontWarn = false;
};

// Everything the core asks of the desktop: modal questions that return their answer, and the
// few services a window system offers. The desktop program implements it with Qt, the command
// line non-interactively, and the tests with a scripted fake (tests/support/ScriptedPlatform.h).
class Platform {
 public:
  virtual ~Platform() = default;

  // Shows the alert and returns the index of the button pressed (0 = the default button).
  virtual int runAlert(const Alert& alert) = 0;

  // Shows the cancel confirmation as a sheet on the key window, with its three buttons and its
  // switch group set to askEveryTime, and returns what the person chose.
  virtual CancelConfirmReply runCancelConfirm() = 0;

  // Runs the input-error warning window modally. The main window is hidden while it shows (the
  // warning is the only window the person can act on). The switch opens cleared and is shown
  // only when `warning.showDontWarnSwitch` is set.
  virtual InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) = 0;
};

}  // namespace corvela
