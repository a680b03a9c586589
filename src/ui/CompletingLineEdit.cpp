#include "ui/CompletingLineEdit.h"

#include <QKeyEvent>
#include <string>

#include "ui/QtText.h"

namespace corvela::ui {
namespace {

// The key code the rules see for forward delete (the desktop's function-key code), so it is
// never taken for backward delete.
constexpr char32_t kForwardDeleteKey = 0xF728;

// The first character of a key event, as the typing rules expect it; 0 when the event is not
// a key (a paste from the menu, a drop).
char32_t keyOf(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return 0;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Backspace) return kBackwardDeleteKey;
  if (key->key() == Qt::Key_Delete) return kForwardDeleteKey;
  QList<uint> characters = key->text().toUcs4();
  return characters.isEmpty() ? 0 : static_cast<char32_t>(characters.front());
}

// Whether a key types a visible character, so the rule is asked even when the text stays the
// same (a character typed over the same selected character).
bool typesCharacter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  QString text = static_cast<QKeyEvent*>(event)->text();
  return !text.isEmpty() && text.front().isPrint();
}

}  // namespace

CompletingLineEdit::CompletingLineEdit(QWidget* parent) : QLineEdit(parent) {}

TextRange CompletingLineEdit::selectedRange() const {
  QString current = text();
  if (!hasSelectedText()) return {characterIndex(current, cursorPosition()), 0};
  int start = selectionStart();
  std::size_t from = characterIndex(current, start);
  std::size_t to = characterIndex(current, start + static_cast<int>(selectedText().size()));
  return {from, to - from};
}

void CompletingLineEdit::selectRange(const TextRange& range) {
  QString current = text();
  int from = utf16Index(current, range.location);
  int to = utf16Index(current, range.end());
  if (to > from)
    setSelection(from, to - from);
  else
    setCursorPosition(from);
}

bool CompletingLineEdit::event(QEvent* event) {
  if (!rule_ || isReadOnly()) return QLineEdit::event(event);
  QString before = text();
  TextRange beforeSelection = selectedRange();

  bool handled = QLineEdit::event(event);

  QString proposed = text();
  if (proposed == before && !typesCharacter(event)) return handled;
  std::string previousText = utf8(before);
  std::string proposedText = utf8(proposed);
  EditDecision decision =
      rule_(TextEdit{previousText, beforeSelection, proposedText, selectedRange(), keyOf(event)});
  switch (decision.verdict) {
    case EditDecision::Verdict::Accept:
      break;
    case EditDecision::Verdict::Refuse:
      setText(before);
      selectRange(beforeSelection);
      break;
    case EditDecision::Verdict::Replace:
      setText(qs(decision.text));
      selectRange(decision.selection);
      break;
  }
  if (text() != before) emit editedByPerson(text());
  return handled;
}

void CompletingLineEdit::focusInEvent(QFocusEvent* event) {
  if (entered_) entered_();
  QLineEdit::focusInEvent(event);
}

}  // namespace corvela::ui
