#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>

#include "banking/BankingCreditCardQIF.h"
#include "formats/ErrorWarning.h"
#include "formats/OutputFormats.h"
#include "instructions/Instructions.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "platform/Status.h"
#include "prefs/Bundle.h"
#include "prefs/CancelConfirm.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "prefs/ValueText.h"
#include "readers/QIFReader.h"
#include "support/ScratchStore.h"
#include "support/ScriptedBankViews.h"
#include "support/ScriptedPlatform.h"
#include "text/Lines.h"

namespace corvela::testing {

// A bank and credit-card processor wired to a scratch store, the shipped bundle tables, a
// scripted platform and scripted dialogs, with what a run needs around it.
struct BankingHarness {
  BankingHarness()
      : options(store.prefs),
        categories(store.prefs, platform),
        descriptions(store.prefs),
        instructions(store.prefs, options),
        reader(store.prefs, options, Bundle::builtIn()),
        outputFormats(store.prefs, options, categories, Bundle::builtIn()),
        cancelConfirm(options, platform),
        errorWarning(platform, {}),
        processor(store.prefs, options, instructions, categories, descriptions, reader,
                  outputFormats, cancelConfirm, errorWarning, platform, confirmView,
                  newInstructionView) {}

  // A run over `qif` with the store `json` and the options `names`, started and stopped in its
  // first dialog (or ended).
  BankingHarness(std::string_view json, std::initializer_list<std::string_view> names,
                 std::string_view qif)
      : BankingHarness() {
    startWith(json, names, qif);
  }

  // Puts every entry of a JSON dictionary into the store, as a person's store would hold it.
  Status loadStore(std::string_view json) {
    Result<Value> parsed = fromJSON(json);
    if (!parsed.ok()) return parsed.status();
    if (!parsed.value().isDictionary()) return Status::Error("the store is not a dictionary");
    for (const auto& [key, value] : parsed.value().toDictionary())
      store.prefs.setObject(key, value);
    return Status::OK();
  }

  void setOptions(std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) options.add(name);
  }

  // Reads a QIF register (every transaction, whatever its date) into the processor.
  void readQIF(std::string_view text) {
    QIFReadResult result =
        reader.fromQIFText(text, 0, CalendarDay::distantPast(), CalendarDay::distantFuture(),
                           CalendarDay{2024, 6, 15});
    ASSERT_TRUE(result.ok()) << "unreadable QIF line " << result.failedLine;
    processor.setTransactions(result.qif, options.isOn(option::confirmAllTransactions));
  }

  // Loads the store `json`, turns on the options `names`, reads `qif` and starts the run.
  void startWith(std::string_view json, std::initializer_list<std::string_view> names,
                 std::string_view qif) {
    Status loaded = loadStore(json);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    setOptions(names);
    readQIF(qif);
    start();
  }

  // Starts the run without answering its dialogs.
  void start() {
    processor.setFormatters();
    processor.processInstructionsAndAppendToString(output, settings, end.callback());
  }

  // Starts the run and answers its dialogs from `script`.
  void run(std::deque<DialogAnswer> script = {}) {
    start();
    answerDialogs(processor, std::move(script));
  }

  // The confirmation form the processor holds (what the window shows now).
  const ConfirmForm& confirm() const { return processor.confirmForm(); }
  // The new-instruction form the processor holds.
  const NewInstructionForm& teach() const { return processor.newInstructionForm(); }

  ScratchStore store;
  ScriptedPlatform platform;
  Preferences options;
  Categories categories;
  Descriptions descriptions;
  Instructions instructions;
  QIFReader reader;
  OutputFormats outputFormats;
  CancelConfirm cancelConfirm;
  ErrorWarning errorWarning;
  ScriptedConfirmView confirmView;
  ScriptedNewInstructionView newInstructionView;
  BankingCreditCardQIF processor;

  RunSettings settings;
  std::string output;
  EndRecorder end;
};

}  // namespace corvela::testing
