#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace corvela::ui {

// The status view: a message about the input at hand (a refusal, the end of a run) under its
// title, that the main window swaps in for its controls, and the button that dismisses it.
class StatusView : public QWidget {
  Q_OBJECT

 public:
  explicit StatusView(QWidget* parent = nullptr);

  // Shows `text` (carriage returns break lines) and titles the window `title`. A view that is
  // not part of a window yet shows as a window of its own; one inside a window asks it, through
  // shown(), to bring the view forward.
  void showStatus(const QString& title, const QString& text);
  // A run's progress while it works without waiting for the person: "Processing Transactions"
  // with a bar at `done` of `total`, drawn at once (the run does not return to the event loop
  // in between). done == total takes the bar away; the run's report follows.
  void showProgress(int done, int total);
  QProgressBar* progressBar() const { return progress_; }

  QString title() const { return title_; }
  QString text() const;
  QPushButton* doneButton() const { return done_; }

 signals:
  // A message was put in the view; the window holding it should swap it in, titled `title`.
  void shown(const QString& title);
  // The person dismissed the message (the run is over).
  void dismissed();

 private:
  QString title_;
  QLabel* heading_;
  QLabel* message_;
  QPushButton* done_;
  QProgressBar* progress_;
};

}  // namespace corvela::ui
