#include "inputformats/QuestionTable.h"

namespace corvela {

void QuestionStack::start(const Value& questions) {
  stack_.clear();
  current_ = {questions.isArray() ? questions : Value::array(), 0};
}

const Value* QuestionStack::current() const {
  if (current_.index >= current_.questions.size()) return nullptr;
  return &current_.questions[current_.index];
}

bool QuestionStack::advance() {
  while (true) {
    if (current_.index < current_.questions.size()) ++current_.index;
    if (current_.index < current_.questions.size()) return true;
    if (stack_.empty()) return false;
    current_ = std::move(stack_.back());
    stack_.pop_back();
  }
}

bool QuestionStack::enter(const Value& list) {
  if (!list.isArray() || list.size() == 0) return advance();
  stack_.push_back(std::move(current_));
  current_ = {list, 0};
  return true;
}

}  // namespace corvela
