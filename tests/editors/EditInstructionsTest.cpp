#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "editors/InstructionEditorHarness.h"
#include "prefs/ValueText.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

using Field = InstructionEditField;
using Tab = InstructionEditTab;

constexpr const char* kStore = R"({
  "Accounts": [{"Name": "Checking", "Type": "Bank"}],
  "Categories": ["Books", "Dining", "Groceries", "Shopping", "[Checking]"],
  "Instructions": [
    {"descriptionMatch": "AMAZON", "category": "Shopping"},
    {"descriptionMatch": "AMAZON MKTP", "category": "Books", "newDescription": "Amazon"},
    {"descriptionMatch": "CORNER GROC", "category": "Groceries", "amounts": [
      {"amount": "-120.00", "amountDescription": "Party", "amountCategory": "Dining"},
      {"amount": "-45.00", "amountDescription": "Corner", "amountCategory": "Groceries"}]},
    {"categoryMatch": "Fuel", "category": "Auto"}]})";

// Each case edits one stored instruction as a person would. What the store holds afterwards (the
// match strings in order, with the whole record where it changed), how the dialog ended and the
// warning under the match field are compared with tests/data/editors/edit-instructions.txt.
struct EditCase {
  const char* name;
  const char* match;
  std::optional<std::string> mustMatch;
  bool contains;  // matchDescriptionWithContains
  std::function<void(EditInstructions&)> actions;
};

TEST(EditInstructionsTest, WhatEachEditLeavesInTheStore) {
  const EditCase cases[] = {
      {"shortening keeps matching; growing past the description is refused", "AMAZON MKTP",
       "AMAZON MKTP US", false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "AMAZON MKTP X");
         e.controlTextDidChange(Field::match, "AMAZON MK");
         e.save();
       }},
      {"a letter the original lacks cannot be saved when it must keep matching", "AMAZON MKTP",
       "AMAZON MKTP US", true,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "MKTPX");
         e.save();
       }},
      {"renaming onto another match string replaces that instruction", "AMAZON MKTP", std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "amazon");
         e.save();
       }},
      {"delete", "CORNER GROC", std::nullopt, false,
       [](EditInstructions& e) { e.deleteInstruction(); }},
      {"cancel stores nothing", "AMAZON", std::nullopt, false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::category, "Books");
         e.cancel();
       }},
      {"a transfer to an unknown account is refused before anything is stored", "AMAZON",
       std::nullopt, false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "AMAZON.COM");
         e.controlTextDidChange(Field::category, "[Nowhere]");
         e.save();
       }},
      {"edits of one amount survive choosing another; splits balance on the amount", "CORNER GROC",
       std::nullopt, false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::amountDescription, "Big party");
         e.controlTextDidChange(Field::amount, "-45.00");
         e.selectTab(Tab::amount);
         e.addRemoveSplits();
         e.tableSetCell(Tab::amount, "amount", 1, "-5");
         e.tableSetCell(Tab::amount, "category", 1, "Dining");
         e.save();
       }},
      {"deleting every amount instruction removes the key; splits and switches are kept",
       "CORNER GROC", std::nullopt, false,
       [](EditInstructions& e) {
         e.deleteAmount();
         e.deleteAmount();
         e.addRemoveSplits();
         e.tableSetCell(Tab::regular, "category", 1, "Dining");
         e.setSwitch(InstructionEditSwitch::extractNumber, true);
         e.setSwitch(InstructionEditSwitch::useMemo, true);
         e.controlTextDidChange(Field::newMemo, "weekly");
         e.save();
       }},
      {"a category instruction keeps its match string", "Fuel", std::nullopt, false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "Gas");
         e.controlTextDidChange(Field::category, "Car");
         e.save();
       }},
  };
  const Value original = fromJSON(kStore).value()["Instructions"];
  std::string log;
  for (const EditCase& c : cases) {
    InstructionEditorHarness h;
    ASSERT_TRUE(h.loadStore(kStore).ok());
    if (c.contains) h.setOptions({option::matchDescriptionWithContains});
    h.edit(c.match, c.mustMatch);
    h.platform.answerNextAlert(0);  // the refusal of a category, where a case meets one
    c.actions(h.editor);
    log += "== " + std::string(c.name) + "\n";
    for (const Value& record : h.store.prefs.objectForKey("Instructions").toArray()) {
      bool kept = false;
      for (const Value& old : original.toArray()) kept = kept || old == record;
      log += matchString(record) + (kept ? "\n" : " " + toJSON(record) + "\n");
    }
    for (auto [cancelled, position] : h.ended)
      log += (cancelled ? "cancelled at " : "saved at ") + std::to_string(position) + "\n";
    if (h.ended.empty())
      log += h.editor.editing() ? "still editing\n" : "neither ended nor editing\n";
    if (auto warning = h.editor.editForm().matchWarning)
      log += "warning: " + std::string(*warning) + "\n";
    log += "alerts " + std::to_string(h.platform.alerts.size()) + "\n";
  }
  expectDataFile("editors/edit-instructions.txt", log);
}

}  // namespace
}  // namespace corvela::testing
