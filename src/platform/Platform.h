#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/MessageFormat.h"

namespace corvela {

// An alert: a title, an informative text and up to three buttons. The first button is the
// default one (Return presses it).
struct Alert {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;  // 1 to 3 labels, default first
};

// --- Main window services: the panels, the status view, the clipboard, help and the timer ---

// An open panel. Empty fields leave the choice to the panel.
struct OpenPanel {
  std::string directory;  // the folder it starts in
  // Accepted file extensions, compared exactly; "" accepts files without an extension.
  std::vector<std::string> fileTypes;
  std::string prompt;  // the confirm button's title ("Append To")
  // Show the append switch below the file list, set to this state, so the person can still
  // decide against appending.
  std::optional<bool> appendSwitch;
  bool asSheet = false;  // a sheet on the main window rather than a window of its own
  // Named groups of fileTypes the person can narrow the panel to, such as
  // {"Statements", {"ofx", "qif", ...}}; the panel starts with all of fileTypes.
  std::vector<std::pair<std::string, std::vector<std::string>>> typeGroups;
};

// What the person chose in an open panel.
struct OpenPanelChoice {
  std::string path;     // the first chosen file
  bool append = false;  // the append switch's final state; false when none was shown
};

// A save panel. Empty fields leave the choice to the panel.
struct SavePanel {
  std::string directory;         // the folder it starts in
  std::string requiredFileType;  // the extension the chosen name must end in ("qif", "crvc")
  std::string suggestedName;     // the file name proposed
  bool asSheet = false;          // a sheet on the main window rather than modal on its own
  std::string message;           // what the file is for, shown in the panel; "" for none
};

// --- end of the main window services' types ---

// --- The run's shared dialogs: the cancel confirmation and the input-error warning ---

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

  // --- Main window services ---

  // Runs an open panel; the choice, or none when the person cancelled.
  virtual std::optional<OpenPanelChoice> runOpenPanel(const OpenPanel& panel) = 0;
  // Runs a save panel; the chosen path, or none when the person cancelled. Choosing an
  // existing file means the person agreed to replace it.
  virtual std::optional<std::string> runSavePanel(const SavePanel& panel) = 0;

  // The plain text on the general clipboard, or none when it holds no plain-text type.
  virtual std::optional<std::string> clipboardText() = 0;

  // Swaps the main window to its status view, titled `title`, showing `text`. Not modal: the
  // person dismisses it from the window (which ends the run with Controller::doneWithFile).
  virtual void showStatus(const std::string& title, const std::string& text) = 0;
  // The status view with `format` filled by formatMessage with one argument (the input's
  // description for most messages).
  void title(const std::string& title, std::string_view format, std::string_view formatArgument) {
    showStatus(title, formatMessage(format, {formatArgument}));
  }

  // Opens the help book at `anchor` ("QFX", "QIF", "Text", ...).
  virtual void openHelpPage(const std::string& anchor) = 0;

  // A long run's progress: `done` of `total` transactions, shown in the status view (drawn at
  // once, as the run does not return to the main loop in between); done == total ends it.
  // Nothing by default: a front end without a window has nothing to draw.
  virtual void showProgress(std::size_t done, std::size_t total) {
    static_cast<void>(done);
    static_cast<void>(total);
  }

  // Runs `action` once on the main loop after `seconds`. The action must not outlive the
  // object it calls; the controller, which asks for it, lives as long as the program.
  virtual void scheduleOneShot(double seconds, std::function<void()> action) = 0;

  // --- end of main window services ---

  // --- The run's shared dialogs ---

  // Shows the cancel confirmation as a sheet on the key window, with its three buttons and its
  // switch group set to askEveryTime, and returns what the person chose.
  virtual CancelConfirmReply runCancelConfirm() = 0;

  // Runs the input-error warning window modally. The main window is hidden while it shows (the
  // warning is the only window the person can act on). The switch opens cleared and is shown
  // only when `warning.showDontWarnSwitch` is set.
  virtual InputErrorWarningReply runInputErrorWarning(const InputErrorWarning& warning) = 0;
};

}  // namespace corvela
