#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "editors/InstructionEditorHarness.h"
#include "prefs/ValueText.h"

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

std::string json(const char* text) {
  Result<Value> parsed = fromJSON(text);
  EXPECT_TRUE(parsed.ok()) << text;
  return parsed.ok() ? toJSON(parsed.value()) : std::string();
}

// Each case edits one stored instruction as a person would and says what the store holds
// afterwards (only the records that changed, in their place) and how the dialog ended.
struct EditCase {
  const char* name;
  const char* match;
  std::optional<std::string> mustMatch;
  bool contains;  // matchDescriptionWithContains
  std::function<void(EditInstructions&)> actions;
  // The match strings stored afterwards, in order, and the edited record as stored (nullptr:
  // the store is unchanged, or the record is gone). Every other record stays as it was.
  std::vector<std::string> order;
  const char* record;
  std::optional<std::pair<bool, std::size_t>> end;  // none: the dialog is still open
  std::optional<std::string_view> warning;          // under the match field at the end
};

TEST(EditInstructionsTest, WhatEachEditLeavesInTheStore) {
  const EditCase cases[] = {
      {"shortening keeps matching; growing past the description is refused",
       "AMAZON MKTP",
       "AMAZON MKTP US",
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "AMAZON MKTP X");
         e.controlTextDidChange(Field::match, "AMAZON MK");
         e.save();
       },
       {"AMAZON", "AMAZON MK", "CORNER GROC", "Fuel"},
       R"({"descriptionMatch": "AMAZON MK", "category": "Books", "newDescription": "Amazon"})",
       std::pair{false, 1},
       std::nullopt},
      {"a letter the original lacks cannot be saved when it must keep matching",
       "AMAZON MKTP",
       "AMAZON MKTP US",
       true,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "MKTPX");
         e.save();
       },
       {},
       nullptr,
       std::nullopt,
       kNoLongerMatchesWarning},
      {"renaming onto another match string replaces that instruction",
       "AMAZON MKTP",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "amazon");
         e.save();
       },
       {"amazon", "CORNER GROC", "Fuel"},
       R"({"descriptionMatch": "amazon", "category": "Books", "newDescription": "Amazon"})",
       std::pair{false, 0},
       kReplaceWarning},
      {"delete",
       "CORNER GROC",
       std::nullopt,
       false,
       [](EditInstructions& e) { e.deleteInstruction(); },
       {"AMAZON", "AMAZON MKTP", "Fuel"},
       nullptr,
       std::pair{false, 0},
       std::nullopt},
      {"cancel stores nothing",
       "AMAZON",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::category, "Books");
         e.cancel();
       },
       {},
       nullptr,
       std::pair{true, 0},
       std::nullopt},
      {"a transfer to an unknown account is refused before anything is stored",
       "AMAZON",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "AMAZON.COM");
         e.controlTextDidChange(Field::category, "[Nowhere]");
         e.save();
       },
       {},
       nullptr,
       std::nullopt,
       kNotOriginalWarning},
      {"edits of one amount survive choosing another; splits balance on the amount",
       "CORNER GROC",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::amountDescription, "Big party");
         e.controlTextDidChange(Field::amount, "-45.00");
         e.selectTab(Tab::amount);
         e.addRemoveSplits();
         e.tableSetCell(Tab::amount, "amount", 1, "-5");
         e.tableSetCell(Tab::amount, "category", 1, "Dining");
         e.save();
       },
       {"AMAZON", "AMAZON MKTP", "CORNER GROC", "Fuel"},
       R"({"descriptionMatch": "CORNER GROC", "category": "Groceries", "amounts": [
             {"amount": "-120.00", "amountDescription": "Big party", "amountCategory": "Dining"},
             {"amount": "-45.00", "amountDescription": "Corner", "amountCategory": "Groceries",
              "amountConfirm": "Y", "splits": [
                {"category": "Groceries", "memo": "", "amount": "-40.00"},
                {"category": "Dining", "memo": "", "amount": "-5"}]}]})",
       std::pair{false, 2},
       std::nullopt},
      {"deleting every amount instruction removes the key; splits and switches are kept",
       "CORNER GROC",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.deleteAmount();
         e.deleteAmount();
         e.addRemoveSplits();
         e.tableSetCell(Tab::regular, "category", 1, "Dining");
         e.setSwitch(InstructionEditSwitch::extractNumber, true);
         e.setSwitch(InstructionEditSwitch::useMemo, true);
         e.controlTextDidChange(Field::newMemo, "weekly");
         e.save();
       },
       {"AMAZON", "AMAZON MKTP", "CORNER GROC", "Fuel"},
       R"({"descriptionMatch": "CORNER GROC", "category": "Groceries", "categoryConfirm": "Y",
            "number": "Y", "newMemo": "weekly", "splits": [
              {"category": "Groceries", "memo": "", "amount": ""},
              {"category": "Dining", "memo": "", "amount": ""}]})",
       std::pair{false, 2},
       std::nullopt},
      {"a category instruction keeps its match string",
       "Fuel",
       std::nullopt,
       false,
       [](EditInstructions& e) {
         e.controlTextDidChange(Field::match, "Gas");
         e.controlTextDidChange(Field::category, "Car");
         e.save();
       },
       {"AMAZON", "AMAZON MKTP", "CORNER GROC", "Fuel"},
       R"({"categoryMatch": "Fuel", "category": "Car"})",
       std::pair{false, 3},
       std::nullopt},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    InstructionEditorHarness h;
    ASSERT_TRUE(h.loadStore(kStore).ok());
    if (c.contains) h.setOptions({option::matchDescriptionWithContains});
    const std::string before = h.storedJSON();
    h.edit(c.match, c.mustMatch);
    h.platform.answerNextAlert(0);  // the refusal of a category, where a case meets one
    c.actions(h.editor);
    const Value stored = h.store.prefs.objectForKey("Instructions");
    const Value original = fromJSON(kStore).value()["Instructions"];
    if (c.order.empty()) {
      EXPECT_EQ(h.storedJSON(), before);
    }
    std::vector<std::string> order;
    for (const Value& record : stored.toArray()) {
      order.push_back(matchString(record));
      const Value* old = nullptr;
      for (const Value& candidate : original.toArray())
        if (matchString(candidate) == matchString(record)) old = &candidate;
      if (c.record && matchString(record) == matchString(fromJSON(c.record).value())) {
        EXPECT_EQ(toJSON(record), json(c.record));
      } else {
        ASSERT_NE(old, nullptr) << matchString(record);
        EXPECT_EQ(toJSON(record), toJSON(*old));
      }
    }
    if (!c.order.empty()) {
      EXPECT_EQ(order, c.order);
    }
    if (c.end) {
      EXPECT_EQ(h.ended, (std::vector<std::pair<bool, std::size_t>>{*c.end}));
    } else {
      EXPECT_TRUE(h.ended.empty());
      EXPECT_TRUE(h.editor.editing());
    }
    EXPECT_EQ(h.editor.editForm().matchWarning, c.warning);
    // Only the refused transfer (the one case that ends on kNotOriginalWarning) alerts.
    EXPECT_EQ(h.platform.alerts.size(), c.warning == kNotOriginalWarning ? 1u : 0u);
  }
}

}  // namespace
}  // namespace corvela::testing
