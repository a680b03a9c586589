#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/ControlSettings.h"
#include "app/Controller.h"
#include "app/ControllerPorts.h"
#include "app/FormText.h"
#include "app/NotAvailableYet.h"
#include "app/OutputFormatDefinitionPort.h"
#include "formats/ErrorWarning.h"
#include "formats/OutputFormats.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/QIFReader.h"
#include "readers/TransactionKeys.h"
#include "support/FakeMainView.h"
#include "support/FileText.h"
#include "support/ScratchStore.h"
#include "support/ScriptedDefinitionView.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace corvela::testing {

// A bank processor that outputs every record as it was read (amounts normalised), through the
// real output production, and reports the end at once: enough to run the controller from input
// to file.
class PassThroughBankRun : public BankRun {
 public:
  PassThroughBankRun(OutputFormats& formats, const QIFReader& reader)
      : formats_(formats), reader_(reader) {}

  Status available() const override { return Status::OK(); }

  void setTransactions(RecordList qif, bool mustConfirm) override {
    records = qif.toValue();
    this->mustConfirm = mustConfirm;
    feed = RunFeed();
  }
  void setFeed(RunFeed feed) override { this->feed = std::move(feed); }

  void processInstructionsAndAppendToString(std::string& buffer, const RunSettings& settings,
                                            RunEnd end) override {
    this->settings = settings;
    OutputContext context{settings.outputFormatText, settings.account};
    int count = 0;
    // A fed run's windows, each written and handed on before the next is read.
    for (bool more = true; more;) {
      for (Value record : records.value_or(Value::array()).toArray()) {
        if (record.contains(transactionKey::errorMessage)) continue;
        reader_.normalizeQIFAmountIn(record, settings.qifTypeTag);
        BankCCOutput out;
        out.date =
            settings.outputDate.empty() ? str(record, transactionKey::date) : settings.outputDate;
        auto field = [&](std::string_view key) -> std::optional<std::string> {
          if (!record.contains(key)) return std::nullopt;
          return str(record, key);
        };
        out.description = field(transactionKey::description);
        out.memo = field(transactionKey::memo);
        out.amount = field(transactionKey::amount);
        out.number =
            settings.outputNumber.empty() ? field(transactionKey::number) : settings.outputNumber;
        out.category = field(transactionKey::category);
        formats_.produceBankCCOutput(buffer, context, out);
        ++count;
      }
      RecordList next;
      more = feed.next && (count == 0 || (feed.drain(buffer), true)) && feed.next(next);
      if (more) records = next.toValue();
    }
    if (continuation) {
      end(0, continuation);
      return;
    }
    end(count, std::nullopt);
  }

  void continueWith(const Value& saved, std::string& buffer, const RunSettings& settings,
                    RunEnd end) override {
    continued = saved;
    this->settings = settings;
    buffer = str(saved, "fileAsString");
    end(static_cast<int>(saved["numberOfTransactionsAppended"].toInt()), std::nullopt);
  }

  std::optional<Value> records;  // the last window's, in a fed run
  bool mustConfirm = false;
  RunFeed feed;
  std::optional<Value> continued;
  RunSettings settings;
  // When set, the run ends by handing this back (the person chose to finish later).
  std::optional<Value> continuation;

 private:
  OutputFormats& formats_;
  const QIFReader& reader_;
};

// A list import that answers what the test tells it and records what it was given.
class ScriptedListImport : public QIFListImport {
 public:
  int process(std::string_view text, std::size_t* indexPtr, const std::string& source) override {
    seenText = text;
    seenSource = source;
    if (answer != 0) *indexPtr = index;
    return answer;
  }
  int answer = 0;
  std::size_t index = 0;
  std::string seenText;
  std::string seenSource;
};

// The controller with a real store, lists and output production, a scripted platform, a fake
// main window and a processor that outputs records as read. Files go to a folder of the test.
class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest()
      : options(store.prefs),
        accounts(store.prefs),
        categories(store.prefs, platform),
        outputFormats(store.prefs, options, categories, Bundle::builtIn()),
        qifReader(store.prefs, options, Bundle::builtIn()),
        ofxReader(store.prefs, options),
        bank(outputFormats, qifReader) {
    store.prefs.setObject(prefKey::DescriptionOutput, "%d");
    store.prefs.setObject(prefKey::MemoOutput, "%m");
    store.prefs.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
    store.prefs.setObject(prefKey::OutputDateFormatShortYear, "%m/%d/%y");
    outputFormats.createIfAbsent();
    categories.createEmpty();
  }

  Controller& controller() {
    if (!controller_) {
      controller_.emplace(ControllerParts{
          .store = store.prefs,
          .options = options,
          .accounts = accounts,
          .categories = categories,
          .outputFormats = outputFormats,
          .qifReader = qifReader,
          .ofxReader = ofxReader,
          .bundle = Bundle::builtIn(),
          .platform = platform,
          .view = view,
          .session = session,
          .bank = bankPort ? *bankPort : bank,
          .investment = missing.investment,
          .text = textPort ? *textPort : missing.text,
          .listImport = listImport,
          .inputFormats = missing.inputFormats,
          .outputFormatDefinition = definitionPort,
          .errorWarning = errorWarning,
          .fileOps = fileOps,
          .takeOutput = takeOutput,
          .today = [this] { return today; },
          .inputRunsOnce = inputRunsOnce,
          .recordWindow = recordWindow,
      });
    }
    return *controller_;
  }
  const MainForm& form() { return controller().form(); }

  // Writes `text` to a file of the test's folder and answers its path.
  std::string file(const std::string& name, std::string_view text) {
    return temp.write(name, std::string(text));
  }
  static std::string readFile(const std::string& path) { return readText(path); }
  static std::string dataFile(const std::string& name) {
    return readFile(std::string(CORVELA_TEST_DATA) + "/app/" + name);
  }

  void addInputFormat(const char* name, const char* type, const char* match) {
    Value formats = store.prefs.objectForKey("Formats");
    formats.append(Value{{"Name", name}, {"FormatType", type}, {"Match", match}});
    store.prefs.setObject("Formats", formats);
  }
  void turnOn(std::string_view option) { options.add(option); }
  // Adds the form as it stands to the test's log, under `step`.
  void snap(const std::string& step) { log += "== " + step + "\n" + describe(form()); }
  // Adds to the log, under `step`, the status views and save panels shown since the last step
  // and the bytes of the file at `path` (or that there is none).
  void report(const std::string& step, const std::string& path = "") {
    log += "== " + step + "\n";
    for (const ScriptedPlatform::StatusShown& status : platform.statuses) {
      log += "status \"" + status.title + "\": ";
      std::string text = status.text;
      for (std::size_t at; (at = text.find(dir)) != std::string::npos;)
        text.replace(at, dir.size(), "<dir>");
      for (char c : text) log += c == '\r' ? std::string("\\r") : std::string(1, c);
      log += "\n";
    }
    for (const SavePanel& panel : platform.savePanels)
      log += "save panel " + panel.requiredFileType + " \"" + panel.suggestedName + "\"\n";
    platform.statuses.clear();
    platform.savePanels.clear();
    if (path.empty()) return;
    std::string name = path.substr(path.rfind('/') + 1);
    log += std::filesystem::exists(path) ? name + ":\n" + readFile(path) : "no " + name + "\n";
  }

  ScratchStore store;
  Preferences options;
  Accounts accounts;
  ScriptedPlatform platform;
  Categories categories;
  OutputFormats outputFormats;
  QIFReader qifReader;
  OFXReader ofxReader;
  FakeMainView view;
  Session session;
  PassThroughBankRun bank;
  ErrorWarning errorWarning{platform, {}};
  NotAvailableYet missing;
  // The output format definition dialog, cancelled unless a test scripts it.
  ScriptedDefinitionView definitionView;
  OutputFormatDefinitionDialog definitionDialog{outputFormats, options, definitionView};
  OutputFormatDefinitionPort definitionPort{definitionDialog, session};
  ScriptedListImport listImport;
  // The bank processor the controller uses instead of `bank`, when set before controller().
  BankRun* bankPort = nullptr;
  // The text reader it uses, when set before controller(); none by default.
  TextReading* textPort = nullptr;
  // The system calls the controller writes with, when set before controller().
  FileOps* fileOps = nullptr;
  // The front end's ways, when set before controller() (see ControllerParts).
  std::function<Status(std::string_view output)> takeOutput;
  bool inputRunsOnce = false;
  std::size_t recordWindow = 1024;
  // The next controller() is made anew, with the settings above as they are then.
  void remakeController() { controller_.reset(); }
  CalendarDay today{2024, 3, 15};
  TempDir temp;
  std::string dir = temp.root().string();
  std::string log;

 private:
  std::optional<Controller> controller_;
};

}  // namespace corvela::testing
