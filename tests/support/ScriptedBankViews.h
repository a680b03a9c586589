#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "banking/BankingCreditCardQIF.h"
#include "banking/ConfirmView.h"
#include "banking/NewInstructionView.h"
#include "prefs/Value.h"

namespace corvela::testing {

// A confirm view that records the forms it was asked to show. `onEndEditing`, when set, stands
// for an edit the person left in progress: it is delivered when the processor ends editing.
class ScriptedConfirmView : public ConfirmView {
 public:
  void show(const ConfirmForm& form) override { shown.push_back(form); }
  void update(const ConfirmForm& form) override { updated.push_back(form); }
  void endEditing() override {
    ++editsEnded;
    if (auto pending = std::exchange(onEndEditing, nullptr)) pending();
  }

  std::vector<ConfirmForm> shown;
  std::vector<ConfirmForm> updated;
  int editsEnded = 0;
  std::function<void()> onEndEditing;
};

// A new-instruction view that records the forms it was asked to show.
class ScriptedNewInstructionView : public NewInstructionView {
 public:
  void show(const NewInstructionForm& form) override { shown.push_back(form); }
  void update(const NewInstructionForm& form) override { updated.push_back(form); }
  void endEditing() override { ++editsEnded; }

  std::vector<NewInstructionForm> shown;
  std::vector<NewInstructionForm> updated;
  int editsEnded = 0;
};

// Fills the new-instruction dialog with the keys of an instruction record, as a person would:
// the match text (descriptionMatch), newDescription and newMemo through their switches,
// category, and the categoryConfirm and number switches. Other keys are not for the dialog.
inline void fillNewInstruction(BankingCreditCardQIF& p, const Value& instruction) {
  if (const Value* match = instruction.find("descriptionMatch"))
    p.controlTextDidChange(DialogField::descriptionMatch, match->toString());
  if (const Value* text = instruction.find("newDescription")) {
    p.useDescription(true);
    p.controlTextDidChange(DialogField::newDescription, text->toString());
  } else {
    p.useDescription(false);
  }
  if (const Value* text = instruction.find("newMemo")) {
    p.useMemo(true);
    p.controlTextDidChange(DialogField::newMemo, text->toString());
  } else {
    p.useMemo(false);
  }
  p.controlTextDidChange(DialogField::category, str(instruction, "category"));
  p.categoryConfirmSwitch(has(instruction, "categoryConfirm"));
  p.extractNumberSwitch(has(instruction, "number"));
}

// Records the end of a run. The callback may come only once per run: a second call fails the
// test.
class EndRecorder {
 public:
  BankingCreditCardQIF::DidEnd callback() {
    return [this](int endCount, std::optional<Value> endContinuation) {
      ++calls;
      EXPECT_EQ(calls, 1) << "the end callback came more than once";
      count = endCount;
      continuation = std::move(endContinuation);
    };
  }

  int calls = 0;
  int count = -1;
  std::optional<Value> continuation;
};

// One scripted press of a button of the dialog a run waits in.
struct DialogAnswer {
  // The dialog the press is meant for; none means whichever is open.
  std::optional<BankingCreditCardQIF::Dialog> dialog;
  std::string label;
  std::function<void(BankingCreditCardQIF&)> press;
};

namespace press {
using Dialog = BankingCreditCardQIF::Dialog;
inline DialogAnswer ok() {
  return {Dialog::confirm, "OK", [](BankingCreditCardQIF& p) { p.confirmOK(); }};
}
inline DialogAnswer swap() {
  return {Dialog::confirm, "swap", [](BankingCreditCardQIF& p) { p.swapDescriptionAndMemo(); }};
}
// Teaches `instruction` in the new-instruction dialog (see fillNewInstruction) and saves it.
inline DialogAnswer save(Value instruction) {
  return {Dialog::newInstruction, "save", [instruction](BankingCreditCardQIF& p) {
            fillNewInstruction(p, instruction);
            p.saveNewInstruction();
          }};
}
inline DialogAnswer skip() {
  return {std::nullopt, "skip", [](BankingCreditCardQIF& p) { p.skipTransaction(); }};
}
inline DialogAnswer skipRemaining() {
  return {std::nullopt, "skip remaining", [](BankingCreditCardQIF& p) { p.skipRemaining(); }};
}
inline DialogAnswer back() {
  return {std::nullopt, "back", [](BankingCreditCardQIF& p) { p.back(); }};
}
inline DialogAnswer cancel() {
  return {std::nullopt, "cancel", [](BankingCreditCardQIF& p) { p.cancel(); }};
}
}  // namespace press

// Presses the scripted buttons, one per dialog the run stops in, until the run ends. Fails the
// test when the run waits with no answer left, when an answer is meant for another dialog, or
// when answers are left over.
inline void answerDialogs(BankingCreditCardQIF& processor, std::deque<DialogAnswer> script) {
  while (processor.running()) {
    if (processor.openDialog() == BankingCreditCardQIF::Dialog::none) {
      ADD_FAILURE() << "the run neither ended nor opened a dialog";
      return;
    }
    if (script.empty()) {
      ADD_FAILURE() << "the run waits in a dialog (transaction "
                    << processor.currentTransactionIndex() << ") with no answer left";
      return;
    }
    DialogAnswer next = std::move(script.front());
    script.pop_front();
    if (next.dialog && *next.dialog != processor.openDialog()) {
      ADD_FAILURE() << "\"" << next.label << "\" is meant for another dialog (transaction "
                    << processor.currentTransactionIndex() << ")";
      return;
    }
    next.press(processor);
  }
  EXPECT_TRUE(script.empty()) << script.size() << " answers left when the run ended";
}

}  // namespace corvela::testing
