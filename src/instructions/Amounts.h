#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "instructions/InstructionKeys.h"
#include "lists/Completion.h"
#include "prefs/Value.h"

namespace corvela {

// Amount instructions: sub-rules of an instruction for one exact amount text, kept in the
// instruction record's `amounts` array (never stored empty). The static operations work on a
// record the caller holds; the object is the data source of the combo box that lists the
// amounts of the instruction the editor shows.
class Amounts {
 public:
  // Amounts this long or longer are never offered as a completion.
  static constexpr std::size_t kCompletionLengthLimit = 9999;

  // The first amount instruction of `instruction` whose amount equals `amount` exactly (by
  // text: "-45" is not "-45.00"), or none.
  static std::optional<Value> amountMatching(std::string_view amount, const Value& instruction);
  // Replaces the amount instruction with the same amount in place, or appends `record`.
  static void setAmount(const Value& record, Value& instruction);
  // Removes the first amount instruction whose amount equals `amount` exactly; removing the
  // last one removes the key `amounts`. Nothing when there is none.
  static void deleteAmount(std::string_view amount, Value& instruction);

  // Makes the combo-box list a copy of the amounts of `instruction` (empty when it has none).
  void initializeComboBoxForInstruction(const Value& instruction);
  long numberOfItemsInComboBox() const { return static_cast<long>(amounts_.size()); }
  // The amount at `index`; "" for a negative or too large index.
  std::string comboBoxObjectValueForItemAtIndex(long index) const;
  // The first index whose amount equals `value` exactly, or kComboBoxNotFound.
  long comboBoxIndexOfItemWithStringValue(std::string_view value) const;
  // The shortest amount beginning with `prefix` (the earliest of equally short ones), or none.
  std::optional<std::string> comboBoxCompletedString(std::string_view prefix) const;
  // The amount field's typing rule: only amounts of the list can be typed (see completeTyping).
  EditDecision isPartialStringValid(const TextEdit& edit) const;

 private:
  Value amounts_ = Value::array();
};

}  // namespace corvela
