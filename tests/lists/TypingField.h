#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "lists/Completion.h"

namespace corvela::testing {

// A text field that takes keystrokes and asks a typing rule about each, the way the desktop's
// completing combo box does: it proposes the edited text and applies the rule's answer.
class TypingField {
 public:
  using Rule = std::function<EditDecision(const TextEdit&)>;

  explicit TypingField(Rule rule) : rule_(std::move(rule)) {}

  // Types `characters` one at a time over the selection.
  void type(std::string_view characters) {
    std::size_t count = characterCount(characters);
    for (std::size_t i = 0; i < count; ++i) {
      std::string_view typed = characterSlice(characters, i, i + 1);
      std::string proposed = std::string(characterSlice(text, 0, selection.location)) +
                             std::string(typed) +
                             std::string(characterSlice(text, selection.end(), kEnd));
      apply(proposed, selection.location + 1, static_cast<unsigned char>(typed[0]));
    }
  }

  // Moves the caret to the end of the text (the arrow keys ask no rule).
  void moveToEnd() { selection = {characterCount(text), 0}; }

  // The text with the selection in brackets, e.g. "Au[to]".
  std::string shown() const {
    return std::string(characterSlice(text, 0, selection.location)) + "[" +
           std::string(characterSlice(text, selection.location, selection.end())) + "]" +
           std::string(characterSlice(text, selection.end(), kEnd));
  }

  std::string text;
  TextRange selection;

 private:
  static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);

  void apply(const std::string& proposed, std::size_t caret, char32_t key) {
    EditDecision decision = rule_({text, selection, proposed, {caret, 0}, key});
    switch (decision.verdict) {
      case EditDecision::Verdict::Accept:
        text = proposed;
        selection = {caret, 0};
        break;
      case EditDecision::Verdict::Refuse:
        break;
      case EditDecision::Verdict::Replace:
        text = decision.text;
        selection = decision.selection;
        break;
    }
  }

  Rule rule_;
};

}  // namespace corvela::testing
