#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "prefs/Value.h"

namespace corvela {

// The instruction editor as the confirmation dialog reaches it: the edit dialog opened on the
// instruction that applied to the transaction shown. Implemented by EditInstructions; an
// interface here so the processor does not depend on the editor.
class InstructionEditing {
 public:
  // How the edit dialog ended: cancelled (nothing stored), or not (saved, with the edited
  // instruction's position in the stored list, or deleted, with 0).
  using DidEnd = std::function<void(bool cancelled, std::size_t position)>;

  virtual ~InstructionEditing() = default;

  // Opens the edit dialog on `instruction`. With `mustMatch`, the edited match string must
  // still lie within the original one (so it keeps matching that description) to be saved.
  // `didEnd` is called exactly once when the dialog ends, unless a category refused at saving
  // leaves the dialog open.
  virtual void beginEditingInstruction(const Value& instruction,
                                       std::optional<std::string> mustMatch, DidEnd didEnd) = 0;
};

}  // namespace corvela
