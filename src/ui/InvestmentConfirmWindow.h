#pragma once

#include <QDialog>
#include <functional>

#include "investment/InvestmentViews.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace corvela {
class InvestmentQIF;
}

namespace corvela::ui {

class CompletingComboBox;
class InstructionSplitTable;
class DateStepper;
class InvestmentEditSheet;

// The investment processor's confirmation window: one page per view (the transaction, the type
// definition, the security definition, a missing field, no amount or shares, always skip) over
// a row of buttons, and the edit sheet over them. It draws the forms the processor shows and
// hands every edit and button to the processor; which buttons a page offers follows the form,
// and what they do is the processor's.
//
// Showing never blocks. The window hides itself when the processor closes it (the run ended,
// or a cash line went to the bank processor's new-instruction dialog). Return is the page's
// default button; Escape and closing the window are Cancel.
class InvestmentConfirmWindow : public QDialog, public InvestmentConfirmView {
  Q_OBJECT

 public:
  explicit InvestmentConfirmWindow(QWidget* parent = nullptr);
  ~InvestmentConfirmWindow() override;

  // The processor the window reports to (borrowed, it must outlive the window; null detaches).
  void attach(InvestmentQIF* processor);

  // --- InvestmentConfirmView
  void showTransaction(const InvestmentTransactionForm& form) override;
  void showTypeDefinition(const TypeDefinitionForm& form) override;
  void showSecurityDefinition(const SecurityDefinitionForm& form) override;
  void showMissingField(const MissingFieldForm& form) override;
  void showNoAmountOrShares(const NoAmountOrSharesForm& form) override;
  void showAlwaysSkip(const AlwaysSkipForm& form) override;
  void showEditSheet(const EditSheetForm& form) override;
  void closeEditSheet() override;
  void close() override;

  // Escape, the Cancel button and the window's close button.
  void reject() override;

  InvestmentEditSheet* editSheet() const { return editSheet_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The buttons a page offers; the OK button shows when `okTitle` is not empty.
  struct Buttons {
    bool back = false;
    bool backEnabled = false;
    bool editInput = true;
    bool alwaysSkip = false;
    bool redefineType = false;
    bool redefineSecurity = false;
    bool useType = false;
    bool useTypeEnabled = false;
    bool dontAlwaysSkip = false;
    std::string okTitle;
    bool okEnabled = true;
  };

  QWidget* makeTransactionPage();
  QWidget* makeTypePage();
  QWidget* makeSecurityPage();
  QWidget* makeMissingPage();
  QWidget* makeNoAmountPage();
  QWidget* makeAlwaysSkipPage();
  void makeButtons();
  // Runs a processor action (nothing when detached).
  void act(const std::function<void(InvestmentQIF&)>& action);
  // Brings `page` forward, titled `title`, with `buttons`, and the window on screen.
  void showPage(QWidget* page, const std::string& title, const Buttons& buttons);
  // The OK and Use Type buttons of the page on screen as the processor's form has them now
  // (a field edit changes them without a new form).
  void refreshEnabled();

  InvestmentQIF* processor_ = nullptr;
  QStackedWidget* pages_;
  InvestmentEditSheet* editSheet_;

  // The transaction page.
  QWidget* transactionPage_;
  QLabel* dateText_;
  DateStepper* dateStepper_;
  QLabel* typeText_;
  QLabel *securityLabel_, *securityText_;
  QLabel *amountText_, *priceLabel_, *priceText_, *sharesLabel_, *sharesText_;
  QLabel *feesLabel_, *feesText_;
  QCheckBox* adjustShares_;
  QLineEdit* memoField_;
  QLabel* descriptionLabel_;
  QLineEdit* descriptionField_;
  QLabel* categoryLabel_;
  QLineEdit* categoryField_;
  QLabel* numberLabel_;
  QLineEdit* numberField_;
  QLabel* splitsLabel_;
  InstructionSplitTable* splitTable_;
  QPushButton* addRemoveSplitsButton_;
  QPushButton* instructionButton_;  // the instruction pop-up of a cash line
  QWidget* cashButtonsRow_;         // holds the two above

  // The type definition page.
  QWidget* typePage_;
  QLineEdit* typeWordField_;
  QLabel *typeDateText_, *typeSecurityText_, *typeAmountText_, *typePriceText_, *typeSharesText_;
  QComboBox* typeChoice_;
  QCheckBox* assumeDollar_;
  QCheckBox* assumeSecurity_;
  QLineEdit* assumedSecurityField_;

  // The security definition page.
  QWidget* securityPage_;
  QLabel *securityStatementText_, *securityTypeText_, *securityDateText_, *securityAmountText_;
  CompletingComboBox* quickenSecurityField_;

  // The missing-field page.
  QWidget* missingPage_;
  QLabel* missingExplanation_;
  QLabel *missingDateText_, *missingTypeText_, *missingSecurityText_, *missingAmountText_;

  // The no-amount-or-shares page.
  QWidget* noAmountPage_;
  QLabel *noAmountDateText_, *noAmountTypeText_, *noAmountSecurityText_;

  // The always-skip page.
  QWidget* alwaysSkipPage_;
  QLineEdit* alwaysSkipWordField_;

  QPushButton *backButton_, *editInputButton_, *alwaysSkipButton_, *redefineTypeButton_,
      *redefineSecurityButton_, *useTypeButton_, *dontAlwaysSkipButton_, *skipTransactionButton_,
      *skipRemainingButton_, *cancelButton_, *okButton_;
};

}  // namespace corvela::ui
