#pragma once

#include <QDialog>

#include "platform/Platform.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace corvela::ui {

// The input-error warning: a transaction that cannot be read, its text, a button to go on
// without it and one to cancel, and (for an input format) a switch to stop warning.
class InputErrorWarningWindow : public QDialog {
  Q_OBJECT

 public:
  // A modal window for `warning`: the default button bears warning.buttonTitle, the switch
  // opens cleared and shows only when warning.showDontWarnSwitch is set. Escape and closing
  // the window answer as the cancel button.
  explicit InputErrorWarningWindow(const InputErrorWarning& warning, QWidget* parent = nullptr);

  // What the person chose once the window has closed (cancel until a button was pressed).
  InputErrorWarningReply reply() const { return reply_; }

  QPushButton* defaultButton() const { return goOn_; }
  QPushButton* cancelButton() const { return cancel_; }
  QCheckBox* dontWarnSwitch() const { return dontWarn_; }
  QString message() const;
  QString transactionText() const;

 private:
  void answer(int answer);

  InputErrorWarningReply reply_;
  QLabel* message_;
  QPlainTextEdit* text_;
  QCheckBox* dontWarn_;
  QPushButton* cancel_;
  QPushButton* goOn_;
};

}  // namespace corvela::ui
