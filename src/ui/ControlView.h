#pragma once

#include <QWidget>

#include "app/MainForm.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace corvela {
class Application;
}

namespace corvela::ui {

class CompletingComboBox;

// The main window's control view, where the person settles how a loaded input is converted:
// the input part, the transactions to take, the account, the output format and file, and
// "Process Transactions". It draws the controller's MainForm and hands every action of the
// person to the controller; what shows, what is enabled and what comes next is the
// controller's. Each control's objectName is its role in the form (quickenAccountText, ...).
class ControlView : public QWidget {
  Q_OBJECT

 public:
  explicit ControlView(QWidget* parent = nullptr);

  // The program whose controller the actions go to, and whose lists the completing fields
  // complete from. Borrowed: it must outlive the view, or be detached with nullptr first.
  void attach(Application* app);

  // Draws `form`: every control's text, entries, visibility and enabled state, and the tab
  // order of the fields. A field keeps its selection when the form holds the text it shows.
  void showForm(const MainForm& form);

  // The widget of a focusable control.
  QWidget* widget(MainControl control) const;
  // Gives `control` the keyboard focus (the field's text selected, as on entering it).
  void focusControl(MainControl control);

  QPushButton* processButton() const { return processTheTransactionsButton_; }

 protected:
  // Escape that no control took (an open drop-down takes its own) cancels the input.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void setReadingTabOrder();
  QWidget* buildInputPart();
  QWidget* buildTransactionsPart();
  QWidget* buildAccountPart();
  QWidget* buildOutputPart();
  QWidget* buildButtons();
  QToolButton* helpButton(const char* role, const char* anchor);
  void connectActions();
  void setTypingRules();
  // A date field's text is complete: it shows the day it names in the output pattern.
  void dateFieldFinished(MainControl control, QLineEdit* field);
  void textChanged(MainControl control, const QString& text);
  // Return in a field that has no action of its own presses "Process Transactions".
  void pressDefaultButton();
  void showFocusAfterAction();

  Application* app_ = nullptr;

  // --- input part
  QLabel* inputFrom_;
  QLabel* inputAccountType_;
  CompletingComboBox* inputFormatText_;
  QLabel* extractFormatPrompt_;
  QLabel* extractFormatPrompt2_;
  QComboBox* qifTypePopUp_;
  QComboBox* qfxTypePopUp_;

  // --- transactions part
  QWidget* transactionsNormal_;
  QWidget* transactionsContinuation_;
  QButtonGroup* whichTransactions_;
  QLineEdit* dateFromString_;
  QLabel* toLabel_;
  QLineEdit* dateToString_;
  QLabel* invalidRangeWarning_;
  QPushButton* continueFromLastRun_;

  // --- account part
  CompletingComboBox* quickenAccountText_;
  QLabel* quickenAccountFixed_;

  // --- output part
  CompletingComboBox* outputFormatText_;
  QLabel* outputFormatPrompt1_;
  QLabel* outputFormatPrompt2_;
  QLabel* outputFormatFixed_;
  QLabel* continuationWarning_;
  QLabel* outputFileName_;
  QLabel* outputFileMessage_;
  QCheckBox* appendSwitch_;
  QComboBox* appendPopUp_;
  QCheckBox* sameDateSwitch_;
  QLineEdit* outputDateString_;
  QCheckBox* sameNumberSwitch_;
  QLineEdit* outputNumberString_;

  // --- buttons
  QPushButton* processTheTransactionsButton_;
  QPushButton* cancel_;
  QToolButton* inputHelp_;
  QToolButton* accountHelp_;
  QToolButton* transactionsHelp_;
  QToolButton* outputHelp_;
  QToolButton* continuationHelp_;
};

}  // namespace corvela::ui
