#pragma once

#include <QLabel>
#include <QValidator>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/DialogFields.h"

class QComboBox;
class QGridLayout;
class QLineEdit;
class QToolButton;

namespace corvela {
class BankingCreditCardQIF;
class StoredStringList;
}  // namespace corvela

namespace corvela::ui {

class CompletingComboBox;

// How the panes of the transaction dialog reach the processor: every action goes through the
// dialog, which hides itself when the processor no longer waits in it.
using ProcessorAction = std::function<void(BankingCreditCardQIF&)>;
using ActOnProcessor = std::function<void(const ProcessorAction&)>;

// Puts `text` in a field unless it is there already, so the caret and the selection of a
// field being typed in stay where they are when the processor's form comes back unchanged.
void setFieldText(QLineEdit* field, const std::string& text);
void setFieldText(CompletingComboBox* field, const std::string& text);

// A label that shows `text` and is shown, or is emptied and hidden.
void showOptionalText(QLabel* label, const std::optional<std::string>& text);
// A field and its label, shown with the text or hidden.
void showText(QWidget* label, QLineEdit* field, const ShownText& text);
void showText(QWidget* label, QLabel* field, const ShownText& text);

// A right-aligned label in front of a field.
QLabel* fieldLabel(const QString& text, const char* objectName = nullptr);
// A label that shows a value of the transaction, selectable for copying.
QLabel* valueLabel(const char* objectName);
// The transaction as it came in, at the top of both panes of the dialog.
struct TransactionCells {
  QWidget* date;
  QWidget* amountLabel;
  QWidget* amount;
  QWidget* description;
  QWidget* numberLabel;
  QWidget* number;
  QWidget* memoLabel;
  QWidget* memo;
};
// Lays the cells out in three rows: date and amount, description and number, memo.
void layOutTransaction(QGridLayout* grid, const TransactionCells& cells);

// Gives `widget` the keyboard focus with its text selected, or the caret at its end.
void focusField(QWidget* widget, bool selectAll);

// The red label under a category field (the category warning).
QLabel* makeWarningLabel(const char* objectName);
// A label for text that wraps.
QLabel* makeWrappingLabel(const char* objectName);

// The strings of a stored list, for a combo box's pop-up list.
std::vector<std::string> entriesOf(const StoredStringList& list);

// A combo box over a stored list (descriptions or categories), empty until bound.
CompletingComboBox* makeListComboBox(const char* objectName, QWidget* parent = nullptr);
// Binds a combo box to `list` as the dialog's `field`: typing completes through the list's own
// typing rule, entering the field tells the processor that typing begins, each edit by the
// person is reported as a change of `field`, and an item chosen from the pop-up as chosen. The
// list must outlive the box.
void bindListComboBox(CompletingComboBox* box, DialogField field, StoredStringList& list,
                      const ActOnProcessor& act);
// Keeps a combo box from choosing the item that matches its text when its editing ends, as Qt's
// does: that would pass for the person's choice from the pop-up, and change what they typed.
void chooseOnlyFromPopUp(QComboBox* box);
// Refreshes the pop-up list of a combo box from its list.
void reloadEntries(CompletingComboBox* box, const StoredStringList& list, int visibleItems);

// A validator over a field rule of the core: each proposed text is accepted or refused whole.
// The text the field starts with (`startText`) is acceptable too, so a field is never stuck
// with a value it was given and cannot commit.
class RuleValidator : public QValidator {
 public:
  using Rule = std::function<bool(std::string_view proposed)>;

  RuleValidator(Rule rule, QObject* parent, QString startText = {});
  State validate(QString& input, int& position) const override;

 private:
  Rule rule_;
  QString startText_;
};

// The date stepper: two small arrows that step the date one day forward or back.
class DateStepper : public QWidget {
  Q_OBJECT

 public:
  explicit DateStepper(QWidget* parent = nullptr);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  // +1 or -1.
  void stepped(int days);

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace corvela::ui
