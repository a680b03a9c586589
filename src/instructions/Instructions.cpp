#include "instructions/Instructions.h"

#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"

namespace corvela {

Value Instructions::stored() const {
  const Value& list = prefs_.objectForKey(prefKey::Instructions);
  return list.isArray() ? list : Value();
}

// A taught rule is years of a person's work: it reaches the file at once, not at some later
// write that a logout may never reach.
void Instructions::store(Value list) {
  prefs_.setObject(prefKey::Instructions, std::move(list));
  prefs_.synchronize();
}

Value Instructions::instructionAtIndex(std::size_t index) const { return stored()[index]; }

std::size_t Instructions::numberOfInstructions() const { return stored().size(); }

std::optional<Value> Instructions::instructionFor(std::string_view match) const {
  Value list = stored();
  for (const Value& record : list.toArray())
    if (equalsIgnoringCase(matchString(record), match)) return record;
  return std::nullopt;
}

std::optional<Value> Instructions::instructionMatching(std::string_view text,
                                                       std::string_view key) const {
  Value list = stored();
  bool longest = preferences_.isOn(option::longestInstructionMatch);
  bool contains = key == instructionKey::descriptionMatch &&
                  preferences_.isOn(option::matchDescriptionWithContains);
  std::optional<std::size_t> position = index_.match(list, text, key, longest, contains);
  if (!position) return std::nullopt;
  return list[*position];
}

std::size_t Instructions::setInstruction(const Value& instruction) {
  Value list = stored();
  if (list.isNull()) {
    store(Value(Value::Array{instruction}));
    return 0;
  }
  const std::string& name = matchString(instruction);
  std::size_t position = 0;
  for (; position < list.size(); ++position) {
    int order = caseInsensitiveCompare(matchString(list[position]), name);
    if (order == 0) {
      list.mutableArray()[position] = instruction;
      store(std::move(list));
      return position;
    }
    if (order > 0) break;
  }
  list.insert(position, instruction);
  store(std::move(list));
  return position;
}

void Instructions::removeInstruction(const Value& instruction) {
  Value list = stored();
  const std::string& name = matchString(instruction);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (equalsIgnoringCase(matchString(list[i]), name)) {
      list.removeAt(i);
      store(std::move(list));
      return;
    }
  }
}

void Instructions::removeInstructionAtIndex(std::size_t index) {
  Value list = stored();
  if (index >= list.size()) return;
  list.removeAt(index);
  store(std::move(list));
}

std::optional<Value> Instructions::getInstructionsArray() const {
  Value list = stored();
  if (list.isNull()) return std::nullopt;
  return list;
}

void Instructions::setInstructionsArray(Value instructions) { store(std::move(instructions)); }

std::string Instructions::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0) return "";
  return matchString(instructionAtIndex(static_cast<std::size_t>(index)));
}

long Instructions::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  Value list = stored();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Value& record = list[i];
    const Value* description = record.find(instructionKey::descriptionMatch);
    const Value* category = record.find(instructionKey::categoryMatch);
    if ((description && description->toString() == value) ||
        (category && category->toString() == value))
      return static_cast<long>(i);
  }
  return kComboBoxNotFound;
}

std::optional<std::string> Instructions::comboBoxCompletedString(std::string_view prefix) const {
  Value list = stored();
  std::vector<std::string_view> matches;
  matches.reserve(list.size());
  for (const Value& record : list.toArray()) matches.push_back(matchString(record));
  std::optional<std::size_t> found =
      shortestCompletionIndex(matches, prefix, kCompletionLengthLimit);
  if (!found) return std::nullopt;
  return std::string(matches[*found]);
}

EditDecision Instructions::isPartialStringValid(const TextEdit& edit) const {
  return completeTyping(
      edit, [this](std::string_view proposed) { return comboBoxCompletedString(proposed); });
}

}  // namespace corvela
