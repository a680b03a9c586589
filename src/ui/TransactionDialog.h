#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <string_view>

#include "banking/ConfirmView.h"
#include "banking/NewInstructionView.h"

class QCloseEvent;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace corvela {
class BankingCreditCardQIF;
}

namespace corvela::ui {

class ConfirmPane;
class NewInstructionPane;

// The bank processor's dialog window: it hosts the confirmation view and the new-instruction
// view, one at a time, with the buttons both share (Back, Skip Transaction, Skip Remaining,
// Cancel, OK). It draws the forms the processor shows and hands every edit and button to the
// processor; it decides nothing itself.
//
// Showing never blocks: show(form) makes the window visible and returns. The window hides
// itself when an action leaves the processor waiting in no dialog (the run ended, or the
// dialog was handed back to the investment processor). Escape and closing the window are
// Cancel.
class TransactionDialog : public QDialog, public ConfirmView, public NewInstructionView {
  Q_OBJECT

 public:
  explicit TransactionDialog(QWidget* parent = nullptr);
  ~TransactionDialog() override;

  // The processor the window reports to. Borrowed: it must outlive the window, and be
  // attached before the first form is shown (it is made with this window as its views, so
  // attach it right after making it).
  void attach(BankingCreditCardQIF& processor);

  using QDialog::show;

  // --- ConfirmView
  void show(const ConfirmForm& form) override;
  void update(const ConfirmForm& form) override;

  // --- NewInstructionView
  void show(const NewInstructionForm& form) override;
  void update(const NewInstructionForm& form) override;

  // Both views: a table cell being edited is committed, and a confirmed description the person
  // changed is reported as finished, before this returns.
  void endEditing() override;

  // Escape, the Cancel button and the window's close button.
  void reject() override;

  // The panes, for tests and screenshots.
  ConfirmPane* confirmPane() const { return confirmPane_; }
  NewInstructionPane* newInstructionPane() const { return newInstructionPane_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs a processor action, then hides the window when the processor no longer waits in it.
  void act(const std::function<void(BankingCreditCardQIF&)>& action);
  // Brings `pane` forward, titled `title`, and the window on screen.
  void showPane(QWidget* pane, const std::string& title);
  // The shared buttons; `okDisabledReason` is the OK button's tooltip (empty while enabled).
  void showButtons(bool backShown, bool backEnabled, bool okEnabled,
                   std::string_view okDisabledReason, std::string_view cancelToolTip,
                   std::string_view progress);
  // Grows the window to what the view shows now, within the screen; it never shrinks.
  void fitToScreen();
  void okClicked();

  BankingCreditCardQIF* processor_ = nullptr;
  QStackedWidget* panes_;
  ConfirmPane* confirmPane_;
  NewInstructionPane* newInstructionPane_;
  QPushButton* backButton_;
  QPushButton* skipTransactionButton_;
  QPushButton* skipRemainingButton_;
  QPushButton* cancelButton_;
  QPushButton* okButton_;
  QLabel* progress_;
  bool sized_ = false;
};

}  // namespace corvela::ui
