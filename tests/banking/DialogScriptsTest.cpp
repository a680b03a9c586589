// Step-by-step scenarios in the two dialogs of a run, played as a person would and written down
// as they go. Each scenario is a file tests/data/dialogs/NAME.script:
//   store JSON            the preference store, on one line
//   options NAME...       options turned on
//   date TEXT / number TEXT / format NAME   the run's fixed date, fixed number, output format
//   qif LINE|LINE|...     the register read ("|" ends a line), or: ofx FILE (under banking/)
// then one step a line (see play below), or "rerun" to run the register again. After every step
// the transcript names the open dialog and every field of the form its window was sent that
// changed, the alerts and what the run wrote; it ends with the end of the run, its tally and the
// store. The transcript must equal NAME.transcript (CORVELA_UPDATE_GOLDEN=1 rewrites it, to be
// read over).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "banking/BankingHarness.h"
#include "readers/OFXReader.h"
#include "support/FileText.h"

namespace corvela::testing {
namespace {

namespace fs = std::filesystem;
using Dialog = BankingCreditCardQIF::Dialog;
using Fields = std::vector<std::pair<std::string, std::string>>;

const fs::path kScripts = fs::path(CORVELA_TEST_DATA) / "dialogs";

std::string rows(const SplitTableForm& table) {
  std::string out;
  for (const SplitRow& row : table.rows)
    out += "[" + row.category + "/" + row.memo + "/" + row.amount + "]";
  if (table.editRow) out += " editing " + std::to_string(*table.editRow);
  if (table.deleteButtonEnabled) out += " delete enabled";
  return out;
}
std::string text(const ShownText& shown) { return shown.shown ? shown.text : "(hidden)"; }
std::string text(const std::optional<std::string>& value) { return value.value_or("(none)"); }
std::string yes(bool on) { return on ? "yes" : "no"; }
const std::map<std::string, DialogField> kFields = {
    {"confirmedDescription", DialogField::confirmedDescription},
    {"confirmedMemo", DialogField::confirmedMemo},
    {"confirmedCategory", DialogField::confirmedCategory},
    {"descriptionMatch", DialogField::descriptionMatch},
    {"newDescription", DialogField::newDescription},
    {"newMemo", DialogField::newMemo},
    {"category", DialogField::category},
    {"amountDescription", DialogField::amountDescription},
    {"amountCategory", DialogField::amountCategory},
    {"amountMemo", DialogField::amountMemo},
    {"splitCategoryCell", DialogField::splitCategoryCell}};

std::string text(const std::optional<FieldFocus>& focus) {
  if (!focus) return "(none)";
  for (const auto& [name, field] : kFields)
    if (field == focus->field) return name + (focus->selectAll ? " (all selected)" : "");
  return "field " + std::to_string(static_cast<int>(focus->field));
}

// The confirmation form, field by field.
Fields fieldsOf(const ConfirmForm& f) {
  std::string menu;
  for (const PopUpMenuItem& item : f.instructionPopUpMenuItems)
    menu += "[" + item.title + (item.enabled ? "" : " (disabled)") + "]";
  return {
      {"date", f.dateText + (f.dateStepperShown ? " (stepper)" : "")},
      {"amount", text(f.amount)},
      {"number", text(f.number)},
      {"description", f.descriptionText},
      {"memo", text(f.memo)},
      {"confirmed", f.confirmedDescription + " / " + f.confirmedMemo + " / " + f.confirmedCategory},
      {"category warning", text(f.categoryWarning)},
      {"prompt", (f.categoryPrompt ? "by category \"" : "by description, input \"") +
                     f.inputCategory + "\": " + f.prompt},
      {"splits", f.splitsShown ? rows(f.splits) : "(hidden)"},
      {"remainder", text(f.splitRemainder) + " " + text(f.splitsDoNotAddUp)},
      {"splits button", f.addRemoveSplitsShown ? f.addRemoveSplitsTitle : "(hidden)"},
      {"instruction menu", f.instructionPopUpShown ? menu : "(hidden)"},
      {"back", f.backButtonShown ? yes(f.backButtonEnabled) : "(hidden)"},
      {"amount format", f.amountNumberFormat + " " + f.amountDecimalSeparator}};
}

// The new-instruction form, field by field.
Fields fieldsOf(const NewInstructionForm& f) {
  return {
      {"transaction", f.dateText + " " + f.descriptionText + " " + text(f.amount)},
      {"number", text(f.number)},
      {"memo", text(f.memo)},
      {"prompt", f.prompt},
      {"match", (f.categoryForm ? "category " + f.matchCategoryText + ": " : "") + f.matchLabel +
                    " " + f.descriptionMatchText + " within " + text(f.matchRestriction) +
                    (f.notContainedWarningShown ? " (not contained)" : "")},
      {"tab", f.selectedTab == InstructionTab::amount ? "amount" : "instruction"},
      {"new description", f.useDescription ? f.newDescription : "(off)"},
      {"new memo", f.useMemo ? f.newMemo : "(off)"},
      {"category", f.category + " warning " + text(f.categoryWarning) + " confirm " +
                       yes(f.categoryConfirm) + " number " + yes(f.extractNumber)},
      {"splits", f.instructionSplitsShown ? rows(f.instructionSplits) : "(hidden)"},
      {"amount switch", yes(f.amountSwitch) + (f.amountSwitchFixed ? " (fixed)" : "") +
                            (f.amountFieldsEnabled ? " fields enabled" : "")},
      {"amount", f.amountDescription + " / " + f.amountCategory + " warning " +
                     text(f.amountCategoryWarning) + " confirm " + yes(f.amountConfirm)},
      {"amount memo",
       f.amountUseMemo ? f.amountMemo + (f.amountMemoShown ? "" : " (hidden)") : "(off)"},
      {"amount splits", f.amountSplitsShown ? rows(f.amountSplits) : "(hidden)"},
      {"splits button", f.addRemoveSplitsTitle},
      {"ok", f.okEnabled ? "enabled" : "disabled: " + f.okDisabledReason},
      {"back", f.backButtonShown ? yes(f.backButtonEnabled) : "(hidden)"},
      {"cancel", f.cancelToolTip},
      {"amount format", f.amountNumberFormat + " " + f.amountDecimalSeparator},
      {"focus", text(f.focus)}};
}

SplitTable tableNamed(const std::string& name) {
  return name == "confirm"       ? SplitTable::confirm
         : name == "instruction" ? SplitTable::instruction
                                 : SplitTable::amountInstruction;
}

using Press = void (BankingCreditCardQIF::*)();
const std::map<std::string, Press> kButtons = {
    {"ok", &BankingCreditCardQIF::confirmOK},
    {"cancel", &BankingCreditCardQIF::cancel},
    {"back", &BankingCreditCardQIF::back},
    {"skip", &BankingCreditCardQIF::skipTransaction},
    {"skipRemaining", &BankingCreditCardQIF::skipRemaining},
    {"swap", &BankingCreditCardQIF::swapDescriptionAndMemo},
    {"addInstruction", &BankingCreditCardQIF::confirmAddInstruction},
    {"addForAmount", &BankingCreditCardQIF::confirmAddInstructionForAmount},
    {"save", &BankingCreditCardQIF::saveNewInstruction},
    {"rematch", &BankingCreditCardQIF::confirmDescriptionTextChanged}};

using Switch = void (BankingCreditCardQIF::*)(bool);
const std::map<std::string, Switch> kSwitches = {
    {"useDescription", &BankingCreditCardQIF::useDescription},
    {"useMemo", &BankingCreditCardQIF::useMemo},
    {"number", &BankingCreditCardQIF::extractNumberSwitch},
    {"amount", &BankingCreditCardQIF::amountSwitch},
    {"amountConfirm", &BankingCreditCardQIF::amountConfirmSwitch},
    {"amountUseMemo", &BankingCreditCardQIF::amountUseMemo},
    {"categoryConfirm", &BankingCreditCardQIF::categoryConfirmSwitch}};

// Plays one step: a button ("ok", "cancel", "back", "skip", "skipRemaining", "swap",
// "addInstruction", "addForAmount", "splits", "save", "rematch"), or "type FIELD TEXT",
// "pending DESCRIPTION", "switch NAME on|off", "tab amount|instruction", "cell TABLE COLUMN ROW
// VALUE", "edit TABLE COLUMN ROW", "select TABLE ROW...", "addSplit TABLE", "deleteSplit TABLE",
// "step DAYS", and the answers given to what the step asks: "alert BUTTON", "cancelConfirm
// stop|later|now". The questions "accepts MATCH", "value TABLE COLUMN ROW" and "rows TABLE" return
// their answer.
std::string play(BankingHarness& h, const std::string& step) {
  BankingCreditCardQIF& p = h.processor;
  std::istringstream in(step);
  std::string verb, name;
  in >> verb;
  auto rest = [&in] {
    std::string tail;
    std::getline(in >> std::ws, tail);
    return tail;
  };
  if (auto button = kButtons.find(verb); button != kButtons.end())
    (p.*button->second)();
  else if (verb == "splits" && p.openDialog() == Dialog::confirm)
    p.addRemoveSplits();
  else if (verb == "splits")
    p.instructionAddRemoveSplits();
  else if (verb == "pending") {
    // Typed and left in editing: the description is matched afresh when editing ends.
    p.controlTextDidChange(DialogField::confirmedDescription, rest());
    h.confirmView.onEndEditing = [&p] { p.confirmDescriptionTextChanged(); };
  } else if (verb == "type" && in >> name)
    p.controlTextDidChange(kFields.at(name), rest());
  else if (verb == "tab" && in >> name)
    p.tabViewDidSelectTabViewItem(name == "amount" ? InstructionTab::amount
                                                   : InstructionTab::instruction);
  else if (verb == "switch" && in >> name) {
    (p.*kSwitches.at(name))(rest() == "on");
  } else if (verb == "cell" || verb == "edit") {
    std::string column;
    std::size_t row = 0;
    in >> name >> column >> row;
    if (verb == "cell")
      p.tableViewSetObjectValue(tableNamed(name), column, row, rest());
    else
      p.tableViewShouldEditTableColumn(tableNamed(name), column, row);
  } else if (verb == "select" && in >> name) {
    std::vector<std::size_t> selected;
    for (std::size_t row; in >> row;) selected.push_back(row);
    p.tableViewSelectionDidChange(tableNamed(name), selected);
  } else if (verb == "addSplit" && in >> name) {
    name == "confirm"       ? p.addSplit()
    : name == "instruction" ? p.instructionAddSplit()
                            : p.amountInstructionAddSplit();
  } else if (verb == "deleteSplit" && in >> name) {
    name == "confirm"       ? p.deleteSelectedSplit()
    : name == "instruction" ? p.instructionDeleteSelectedSplit()
                            : p.amountInstructionDeleteSelectedSplit();
  } else if (verb == "step") {
    int days = 0;
    in >> days;
    p.stepDate(days);
  } else if (verb == "alert") {
    int button = 0;
    in >> button;
    h.platform.answerNextAlert(button);
  } else if (verb == "cancelConfirm" && in >> name) {
    h.platform.answerNextCancelConfirm(name == "stop"    ? CancelConfirm::stop
                                       : name == "later" ? CancelConfirm::finishLater
                                                         : CancelConfirm::finishNow);
  } else if (verb == "accepts") {
    return yes(p.descriptionMatchAccepts(rest()));
  } else if (verb == "value" && in >> name) {
    std::string column;
    std::size_t row = 0;
    in >> column >> row;
    return text(p.tableViewObjectValue(tableNamed(name), column, row));
  } else if (verb == "rows" && in >> name) {
    return std::to_string(p.numberOfRowsInTableView(tableNamed(name)));
  } else {
    ADD_FAILURE() << "unknown step " << step;
  }
  return "";
}

// What the run shows now, beyond the form: where it stands, the new alerts and output.
struct Observer {
  std::string transcript;
  std::string place;
  Fields last;
  std::optional<ConfirmForm> sentConfirm;
  std::optional<NewInstructionForm> sentTeach;
  std::pair<std::size_t, std::size_t> confirmsSent, teachSent;  // updated, shown
  std::size_t alerts = 0;
  std::size_t written = 0;

  // Takes the form the view was sent last; a form holds its focus and edited row only once.
  template <typename Form, typename View>
  static void sent(const View& view, std::pair<std::size_t, std::size_t>& counts,
                   std::optional<Form>& form) {
    if (view.updated.size() > counts.first)
      form = view.updated.back();
    else if (view.shown.size() > counts.second)
      form = view.shown.back();
    counts = {view.updated.size(), view.shown.size()};
  }

  void note(const BankingHarness& h) {
    const BankingCreditCardQIF& p = h.processor;
    sent(h.confirmView, confirmsSent, sentConfirm);
    sent(h.newInstructionView, teachSent, sentTeach);
    // What the window shows: the form sent last. Apart from what it holds once, it must be what
    // the processor holds.
    Fields now;
    bool behind = false;
    if (p.openDialog() == Dialog::confirm) {
      ConfirmForm shown = sentConfirm.value_or(h.confirm());
      now = fieldsOf(shown);
      now.emplace_back("changed date", p.changedDate());
      shown.focus = h.confirm().focus;
      shown.splits.editRow = h.confirm().splits.editRow;
      behind = shown != h.confirm();
    } else if (p.openDialog() == Dialog::newInstruction) {
      NewInstructionForm shown = sentTeach.value_or(h.teach());
      now = fieldsOf(shown);
      shown.focus = h.teach().focus;
      shown.instructionSplits.editRow = h.teach().instructionSplits.editRow;
      shown.amountSplits.editRow = h.teach().amountSplits.editRow;
      behind = shown != h.teach();
    }
    if (p.openDialog() != Dialog::none) {
      now.emplace_back("transaction index", std::to_string(p.currentTransactionIndex()));
      now.emplace_back("instruction applied", matchString(p.instruction()));
      now.emplace_back("menu validates",
                       yes(p.validateMenuItem(kAddNewInstructionForThisTransaction)) + " " +
                           yes(p.validateMenuItem(kAddNewInstructionForThisAmount)));
    }
    std::string where = !p.running()                               ? "run ended"
                        : p.openDialog() == Dialog::confirm        ? "confirm"
                        : p.openDialog() == Dialog::newInstruction ? "new instruction"
                                                                   : "no dialog";
    if (where != place) {
      transcript += "  " + where + "\n";
      place = where;
      last.clear();
    }
    for (const auto& field : now)
      if (std::find(last.begin(), last.end(), field) == last.end())
        transcript += "    " + field.first + ": " + field.second + "\n";
    last = now;
    if (behind) transcript += "  the window shows another form than the processor holds\n";
    for (; alerts < h.platform.alerts.size(); ++alerts)
      transcript += "  alert: " + h.platform.alerts[alerts].title + ": " +
                    h.platform.alerts[alerts].text + "\n";
    if (h.output.size() != written) {
      std::string lines = h.output.substr(std::min(written, h.output.size()));
      std::replace(lines.begin(), lines.end(), '\n', '|');
      transcript += (h.output.size() > written ? "  wrote: " : "  output cut back to ") +
                    (h.output.size() > written ? lines : std::to_string(h.output.size())) + "\n";
      written = h.output.size();
    }
  }
};

std::vector<std::string> scriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kScripts))
    if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class DialogScriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DialogScriptTest, PlaysAsTheTranscriptSays) {
  std::istringstream script(readText(kScripts / (GetParam() + ".script")));
  BankingHarness h;
  Observer seen;
  bool started = false;
  std::string qif;
  for (std::string line; std::getline(script, line);) {
    if (line.empty() || line.starts_with("#")) continue;
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "store") {
      Status loaded = h.loadStore(value);
      ASSERT_TRUE(loaded.ok()) << loaded.message();
    } else if (word == "options") {
      std::istringstream names(value);
      for (std::string name; names >> name;) h.options.add(name);
    } else if (word == "date") {
      h.settings.outputDate = value;
    } else if (word == "number") {
      h.settings.outputNumber = value;
    } else if (word == "format") {
      h.settings.outputFormatText = value;
    } else if (word == "qif") {
      qif = value + "|";
      std::replace(qif.begin(), qif.end(), '|', '\n');
      h.readQIF(qif);
    } else if (word == "ofx") {
      OFXReadResult read = OFXReader(h.store.prefs, h.options)
                               .fromOFX(readText(fs::path(CORVELA_TEST_DATA) / "banking" / value),
                                        CalendarDay::distantPast(), CalendarDay::distantFuture());
      h.processor.setTransactions(read.qif, read.mustConfirm);
    } else {
      if (!started) {
        h.start();
        seen.note(h);
        started = true;
      }
      seen.transcript += "> " + line + "\n";
      if (line == "rerun") {
        // The same register run again, under what the first run stored.
        h.output.clear();
        h.end = EndRecorder{};
        seen.written = 0;
        h.readQIF(qif);
        h.start();
      }
      const std::string answer = line == "rerun" ? "" : play(h, line);
      if (!answer.empty()) seen.transcript += "  answers " + answer + "\n";
      seen.note(h);
    }
  }
  if (!started) {
    h.start();
    seen.note(h);
  }
  const RunTally& tally = h.processor.tally();
  seen.transcript +=
      "ended " + std::to_string(h.end.calls) + " time(s), count " + std::to_string(h.end.count) +
      "; tally: " + std::to_string(tally.written) + " written, " + std::to_string(tally.confirmed) +
      " confirmed, " + std::to_string(tally.taught) + " taught, " + std::to_string(tally.skipped) +
      " skipped, " + std::to_string(tally.leftUnprocessed) + " left" +
      "\ninstructions: " + toJSON(h.store.prefs.objectForKey("Instructions")) +
      "\ncategories: " + toJSON(h.categories.getCategoriesArray()) +
      "\ndescriptions: " + toJSON(h.descriptions.getDescriptionsArray()) +
      "\ncancel confirmations asked: " + std::to_string(h.platform.cancelConfirms) +
      "\nforms shown: " + std::to_string(h.confirmView.shown.size()) + " confirm, " +
      std::to_string(h.newInstructionView.shown.size()) +
      " new instruction; editing ended: " + std::to_string(h.confirmView.editsEnded) +
      " confirm, " + std::to_string(h.newInstructionView.editsEnded) + " new instruction\n";
  EXPECT_TRUE(h.platform.allAnswersUsed());
  expectDataFile("dialogs/" + GetParam() + ".transcript", seen.transcript);
}

INSTANTIATE_TEST_SUITE_P(Scripts, DialogScriptTest, ::testing::ValuesIn(scriptNames()),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace corvela::testing
