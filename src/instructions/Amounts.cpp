#include "instructions/Amounts.h"

#include <vector>

namespace corvela {

std::optional<Value> Amounts::amountMatching(std::string_view amount, const Value& instruction) {
  for (const Value& record : instruction[instructionKey::amounts].toArray())
    if (str(record, amountKey::amount) == amount) return record;
  return std::nullopt;
}

void Amounts::setAmount(const Value& record, Value& instruction) {
  Value amounts = instruction[instructionKey::amounts];
  if (!amounts.isArray()) amounts = Value::array();
  const std::string& amount = str(record, amountKey::amount);
  bool replaced = false;
  for (std::size_t i = 0; i < amounts.size() && !replaced; ++i) {
    if (str(amounts[i], amountKey::amount) == amount) {
      amounts.mutableArray()[i] = record;
      replaced = true;
    }
  }
  if (!replaced) amounts.append(record);
  instruction.set(instructionKey::amounts, std::move(amounts));
}

void Amounts::deleteAmount(std::string_view amount, Value& instruction) {
  Value amounts = instruction[instructionKey::amounts];
  for (std::size_t i = 0; i < amounts.size(); ++i) {
    if (str(amounts[i], amountKey::amount) != amount) continue;
    if (amounts.size() == 1) {
      instruction.erase(instructionKey::amounts);
    } else {
      amounts.removeAt(i);
      instruction.set(instructionKey::amounts, std::move(amounts));
    }
    return;
  }
}

void Amounts::initializeComboBoxForInstruction(const Value& instruction) {
  const Value& amounts = instruction[instructionKey::amounts];
  amounts_ = amounts.isArray() ? amounts : Value::array();
}

std::string Amounts::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0) return "";
  return str(amounts_[static_cast<std::size_t>(index)], amountKey::amount);
}

long Amounts::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  for (std::size_t i = 0; i < amounts_.size(); ++i)
    if (str(amounts_[i], amountKey::amount) == value) return static_cast<long>(i);
  return kComboBoxNotFound;
}

std::optional<std::string> Amounts::comboBoxCompletedString(std::string_view prefix) const {
  std::vector<std::string_view> amounts;
  amounts.reserve(amounts_.size());
  for (const Value& record : amounts_.toArray()) amounts.push_back(str(record, amountKey::amount));
  std::optional<std::size_t> found =
      shortestCompletionIndex(amounts, prefix, kCompletionLengthLimit);
  if (!found) return std::nullopt;
  return std::string(amounts[*found]);
}

EditDecision Amounts::isPartialStringValid(const TextEdit& edit) const {
  return completeTyping(
      edit, [this](std::string_view proposed) { return comboBoxCompletedString(proposed); });
}

}  // namespace corvela
