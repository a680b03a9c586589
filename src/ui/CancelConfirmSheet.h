#pragma once

#include <QDialog>

#include "platform/Platform.h"

class QRadioButton;
class QPushButton;

namespace corvela::ui {

// The cancel confirmation: a sheet (window-modal on the window being processed) that asks
// what cancelling a run should do, with the switches that make the answer stick.
class CancelConfirmSheet : public QDialog {
  Q_OBJECT

 public:
  // Opens on "ask every time". Finish Now is the default button, and Escape answers it too:
  // it loses nothing.
  explicit CancelConfirmSheet(QWidget* parent = nullptr);

  // What the person chose once the sheet has closed.
  CancelConfirmReply reply() const { return reply_; }

  QPushButton* stopButton() const { return stop_; }
  QPushButton* finishLaterButton() const { return finishLater_; }
  QPushButton* finishNowButton() const { return finishNow_; }
  QRadioButton* askEveryTimeSwitch() const { return askEveryTime_; }
  QRadioButton* alwaysStopSwitch() const { return alwaysStop_; }
  QRadioButton* alwaysFinishLaterSwitch() const { return alwaysFinishLater_; }

  void reject() override;

 private:
  void answer(int button);

  CancelConfirmReply reply_;
  QPushButton* stop_;
  QPushButton* finishLater_;
  QPushButton* finishNow_;
  QRadioButton* askEveryTime_;
  QRadioButton* alwaysStop_;
  QRadioButton* alwaysFinishLater_;
};

}  // namespace corvela::ui
