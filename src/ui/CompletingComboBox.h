#pragma once

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

#include "lists/Completion.h"
#include "lists/ListCompletion.h"

namespace corvela::ui {

class CompletingLineEdit;

// An editable combo box whose every edit by the person (typing, deleting, pasting) goes
// through one of the core's typing rules, which accepts it, refuses it or replaces it with a
// completion (the completed part selected). The box itself decides nothing.
class CompletingComboBox : public QComboBox {
  Q_OBJECT

 public:
  // A typing rule of the core (Accounts::isPartialStringValid, StoredStringList's, ...).
  using TypingRule = std::function<EditDecision(const TextEdit&)>;

  // Rules over the box's own entries (setEntries), for fields that do not sit over a stored
  // list object.
  enum class Completion {
    none,           // any text, nothing completed
    listOnly,       // completeTyping: only entries, completed to the shortest that fits
    listOnlyFirst,  // completeTyping: only entries, completed to the first that fits
    anyText,        // completeListTyping: any text, completed to the shortest entry that fits
  };

  // Starts editable with Completion::none and no entries.
  explicit CompletingComboBox(QWidget* parent = nullptr);

  // The entries of the pop-up list (in the order given) and of the box's own rules. The text
  // in the field stays.
  void setEntries(const std::vector<std::string>& entries);
  std::vector<std::string> entries() const { return entries_; }
  // Uses one of the box's own rules over its entries.
  void setCompletion(Completion completion);
  // Uses `rule` instead; `entered`, when given, runs whenever the field takes the keyboard
  // focus (StoredStringList::comboBoxEntered forgets what was typed before).
  void setTypingRule(TypingRule rule, std::function<void()> entered = {});

  // The field's text.
  std::string text() const;
  // Sets the text without a rule and without textDidChange.
  void setText(const std::string& text);

  // The selection in the field, in characters.
  TextRange selectedRange() const;

 signals:
  // The person changed the text (after the rule answered) or chose an entry from the list.
  void textDidChange(const QString& text);

 private:
  EditDecision ownRule(const TextEdit& edit);
  void entered();

  CompletingLineEdit* edit_;
  std::vector<std::string> entries_;
  Completion completion_ = Completion::none;
  TypingRule rule_;
  std::function<void()> entered_;
  TypedCharacters typed_;
};

}  // namespace corvela::ui
