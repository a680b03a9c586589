#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "banking/BankingHarness.h"
#include "editors/EditInstructions.h"

namespace corvela::testing {

// Instruction editor windows that record what they were asked to show.
class ScriptedInstructionWindows : public InstructionListView, public InstructionEditView {
 public:
  void showList(const InstructionListForm& form) override { list = form; }
  void updateList(const InstructionListForm& form) override { list = form; }
  void closeList() override { list.reset(); }
  void showEditor(const InstructionEditForm& form) override { edit = form; }
  void updateEditor(const InstructionEditForm& form) override { edit = form; }
  void endEditing() override {}
  void closeEditor() override { edit.reset(); }

  std::optional<InstructionListForm> list;
  std::optional<InstructionEditForm> edit;
};

// The bank processor's harness with the instruction editor beside it, wired as the program
// wires them.
struct InstructionEditorHarness : BankingHarness {
  InstructionEditorHarness()
      : editor(store.prefs, options, instructions, categories, descriptions, reader, platform,
               processor.instructionMatches(), windows, windows) {
    processor.setInstructionEditor(&editor);
  }

  // Opens the edit dialog on the stored instruction `match`; the end goes to `ended`.
  void edit(std::string_view match, std::optional<std::string> mustMatch = std::nullopt) {
    std::optional<Value> record = instructions.instructionFor(match);
    ASSERT_TRUE(record) << match;
    editor.beginEditingInstruction(
        *record, std::move(mustMatch),
        [this](bool cancelled, std::size_t position) { ended.emplace_back(cancelled, position); });
  }
  // The stored instruction list as JSON.
  ScriptedInstructionWindows windows;
  EditInstructions editor;
  std::vector<std::pair<bool, std::size_t>> ended;
};

}  // namespace corvela::testing
