#pragma once

#include <QLineEdit>
#include <functional>

#include "lists/Completion.h"

namespace corvela::ui {

// The line edit inside a CompletingComboBox: it lets Qt make each edit, then asks the typing
// rule about it and shows the rule's answer.
class CompletingLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  using TypingRule = std::function<EditDecision(const TextEdit&)>;

  explicit CompletingLineEdit(QWidget* parent = nullptr);

  void setTypingRule(TypingRule rule) { rule_ = std::move(rule); }
  void setEnteredAction(std::function<void()> entered) { entered_ = std::move(entered); }

  // The selection, or the caret as an empty range, in characters.
  TextRange selectedRange() const;
  void selectRange(const TextRange& range);

 signals:
  // An edit by the person, after the rule answered.
  void editedByPerson(const QString& text);

 protected:
  // Every path by which the person edits (keys, input methods, the context menu's paste and
  // cut, dropping, middle-click paste) arrives as an event; each is checked against the rule.
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  TypingRule rule_;
  std::function<void()> entered_;
};

}  // namespace corvela::ui
