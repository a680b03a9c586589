#include "ui/CompletingComboBox.h"

#include <QSignalBlocker>

#include "ui/CompletingLineEdit.h"
#include "ui/QtText.h"

namespace corvela::ui {

CompletingComboBox::CompletingComboBox(QWidget* parent)
    : QComboBox(parent), edit_(new CompletingLineEdit) {
  setEditable(true);
  setLineEdit(edit_);
  // The typing rules complete; Qt's own completer would fight them.
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  edit_->setTypingRule([this](const TextEdit& edit) { return ownRule(edit); });
  edit_->setEnteredAction([this] { entered(); });
  connect(edit_, &CompletingLineEdit::editedByPerson, this, &CompletingComboBox::textDidChange);
  connect(this, &QComboBox::activated, this,
          [this](int index) { emit textDidChange(itemText(index)); });
}

void CompletingComboBox::setEntries(const std::vector<std::string>& entries) {
  QSignalBlocker block(this);
  QString current = edit_->text();
  // The transaction dialog reloads its lists for every transaction, and a person's description
  // list runs to thousands: a list that has not changed is not rebuilt, and one that has goes
  // in with one insertion instead of one per entry.
  if (entries != entries_ || count() != static_cast<int>(entries.size())) {
    entries_ = entries;
    QStringList items;
    items.reserve(static_cast<qsizetype>(entries_.size()));
    for (const std::string& entry : entries_) items.append(qs(entry));
    clear();
    addItems(items);
  }
  setCurrentIndex(-1);
  edit_->setText(current);
}

void CompletingComboBox::setCompletion(Completion completion) {
  completion_ = completion;
  rule_ = nullptr;
  entered_ = nullptr;
  typed_.invalidate();
}

void CompletingComboBox::setTypingRule(TypingRule rule, std::function<void()> entered) {
  rule_ = std::move(rule);
  entered_ = std::move(entered);
}

std::string CompletingComboBox::text() const { return utf8(edit_->text()); }

void CompletingComboBox::setText(const std::string& text) {
  QSignalBlocker block(this);
  edit_->setText(qs(text));
}

TextRange CompletingComboBox::selectedRange() const { return edit_->selectedRange(); }

void CompletingComboBox::entered() {
  if (rule_) {
    if (entered_) entered_();
    return;
  }
  typed_.invalidate();
}

EditDecision CompletingComboBox::ownRule(const TextEdit& edit) {
  if (rule_) return rule_(edit);
  std::vector<std::string_view> views = stringViews(entries_);
  switch (completion_) {
    case Completion::none:
      return EditDecision::accept();
    case Completion::listOnly:
    case Completion::listOnlyFirst: {
      bool first = completion_ == Completion::listOnlyFirst;
      return completeTyping(edit, [&](std::string_view proposed) -> std::optional<std::string> {
        std::optional<std::size_t> index = first ? firstCompletionIndex(views, proposed)
                                                 : shortestCompletionIndex(views, proposed);
        if (!index) return std::nullopt;
        return entries_[*index];
      });
    }
    case Completion::anyText: {
      ListEditResult result = completeListTyping(edit, typed_, views);
      typed_ = result.typed;
      return result.decision;
    }
  }
  return EditDecision::accept();
}

}  // namespace corvela::ui
