#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ControllerPorts.h"
#include "app/MainForm.h"
#include "app/OutputFile.h"
#include "app/Session.h"
#include "prefs/Value.h"
#include "text/CalendarDay.h"
#include "text/DateTables.h"

namespace corvela {

class Accounts;
class Bundle;
class CVPrefs;
class Categories;
class ErrorWarning;
class FileOps;
class MainView;
class OFXReader;
class OutputFormats;
class Platform;
class Preferences;
class QIFReader;

// Everything the controller works with. All are borrowed and must outlive it; main creates
// them once for the life of the program.
struct ControllerParts {
  CVPrefs& store;
  Preferences& options;
  Accounts& accounts;
  Categories& categories;
  OutputFormats& outputFormats;
  const QIFReader& qifReader;
  const OFXReader& ofxReader;
  const Bundle& bundle;
  Platform& platform;
  MainView& view;
  Session& session;
  BankRun& bank;
  InvestmentRun& investment;
  TextReading& text;
  QIFListImport& listImport;
  InputFormatTools& inputFormats;
  OutputFormatDefinition& outputFormatDefinition;
  // The input-error warning the readers and processors share; a new run shows it again.
  ErrorWarning& errorWarning;
  // The system calls the output file is written with; null for the real ones (tests make
  // them fail).
  FileOps* fileOps = nullptr;
  // Takes a run's output in place of the output file, when the front end has a place of its
  // own for it (the command line's standard output): the output path is then only a name, and
  // nothing is checked or written there. Empty: the output goes to the file.
  std::function<Status(std::string_view output)> takeOutput = nullptr;
  // Today's local date; tests fix it.
  std::function<CalendarDay()> today = [] { return CalendarDay::today(); };
  // The front end converts each input once, without a person to go back or stop (the command
  // line). The input's text is then let go as soon as the run no longer reads from it: once its
  // records are read, or at the end of a fed run (bank runs of text and QIF, see
  // Controller::startBankRun). The desktop keeps it, for another run with other settings.
  bool inputRunsOnce = false;
  // How many records a fed run reads at a time (a thousand take some hundred kilobytes); tests
  // make it small.
  std::size_t recordWindow = 1024;
};

// The controller's working state, under the names the rest of the program knows it by.
struct ControllerState {
  // --- the input
  std::string fileAsString;               // the whole input text (of a continuation: its output)
  std::size_t skippedLines = 0;           // a QIF input's header lines, which a run passes over
  std::string source;                     // "File \"x\"", "The clipboard", ... for messages
  std::string inputPath;                  // the input file (never an output), "" for the clipboard
  std::optional<Value> continuationData;  // the dictionary of a continuation file
  bool doingExtract = false;              // a text input, read with an input format
  // The input came from the clipboard: its text is remembered when the run finishes, so
  // clipboard watching does not offer it again.
  bool doingClipboard = false;
  std::string lastProcessedClipboard;  // the clipboard text of the last finished clipboard run
  std::string controlHelpAnchor;       // "QFX", "QIF" or "Text"
  std::optional<MainControl> firstResponder;
  bool initialized = false;  // the menus have been enabled once

  // --- the dialog
  int whichTransactionsTag = 0;
  bool dateRangeOK = false;
  bool doAppend = false;  // the remembered output file can be appended to

  // --- the run
  bool runInProgress = false;  // a processor has started and not yet reported its end
  std::string outputFilePath;
  std::string outputFileAsString;  // the run's output buffer
  // A fed run (see startBankRun) hands its output on as it goes: into this file, once it has
  // some, or to takeOutput. Why that failed, or OK.
  std::optional<OutputFileWriter> outputWriter;
  Status handedOn = Status::OK();
  bool markAsCleared = false;
  bool markAsUncleared = false;
  std::string outputDate;    // empty: each transaction keeps its own
  std::string outputNumber;  // empty: each transaction keeps its own
  // What the final report adds about how the input was read (its dates read day before month
  // although the option says otherwise); empty for most runs.
  std::string reportNote;
  // The final report's sentence on what else became of the run's transactions (confirmed,
  // taught, skipped, left unprocessed); empty when nothing.
  std::string runTally;
};

// The application controller: the main window's presenter. It takes one input at a time (a
// file, the clipboard, clipboard text noticed on activation), classifies it, fills the main
// window's control view from the settings of the last run, keeps the dialog consistent while
// the person edits it, runs the conversion through the readers and processors, and writes the
// output file atomically.
//
// The window is drawn from form() by the MainView after every change; the person's actions
// arrive as the public methods below. Messages go to Platform's status view (most begin with
// carriage returns, as the window layout expects); modal questions and panels go through
// Platform. Nothing here blocks: a run ends when the processor calls back.
class Controller {
 public:
  explicit Controller(ControllerParts parts);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  const MainForm& form() const { return form_; }
  const ControllerState& state() const { return state_; }
  // What the processors read during the current run. The QIF type pop-up counts only for a QIF
  // register (or the continuation of a run), the OFX type pop-up only for an OFX download.
  RunSettings runSettings() const;

  // --- intake

  // A file offered by the desktop (double-click, drop, command line). Refused (false) while an
  // input is being processed, unless the program was just activated.
  bool applicationOpenFile(const std::string& path);
  void applicationDidFinishLaunching();
  // Menu "Open": asks for a file in an open panel.
  void processFile();
  // Loads the file at `path` by its extension: "crvc" a continuation file, "cvef" an exported
  // input format (handed to the input-format tools), anything else a statement read as text.
  // A file that cannot be read is reported in the status view and changes nothing else.
  void actuallyProcessFile(const std::string& path);
  // Menu "Process Clipboard".
  void processClipboard();
  // The program became active: clipboard text with a date in it is processed one second later
  // (through Platform::scheduleOneShot), unless an input is loaded or that text was the last
  // one processed.
  void applicationDidBecomeActive();
  // Classifies fileAsString (OFX, QIF register or text) and sets up the dialog for it.
  void processInput();
  // Button: read a QIF-looking text with an input format instead.
  void dontTreatAsQIF();

  // --- the control view

  // The person changed a field's text (typing or choosing an entry).
  void controlTextDidChange(MainControl control, const std::string& text);
  void comboBoxSelectionDidChange(MainControl control, const std::string& text) {
    controlTextDidChange(control, text);
  }
  // Radio choices: all transactions (0) or last month (1); a date range (2).
  void radioButtonNotDateRange(int tag);
  void radioButtonDateRange();
  // The date fields' action: completes and validates the range.
  void checkDateRange();
  // The same-date and same-number switches.
  void checkOutputDate(bool on);
  void checkOutputNumber(bool on);
  void setAppendSwitch(bool on);
  void selectAppendPopUp(int index);
  void selectQIFType(int index);
  void selectQFXType(int index);
  // Button: a range from the day after the last run's end to today.
  void continueFromWhereIStoppedLastTime();
  // The preferences chose a month-and-day pattern ("%m/%d" or "%d/%m").
  void setDateFormatters(const std::string& monthDayPattern);
  // Return or the field's action in the input-format and output-format fields; `returnKey`
  // says whether it was the Return key.
  void learn(bool returnKey);
  // The learning wizard stored the format `name`: it becomes the chosen input format and the
  // control view shows again.
  void inputFormatLearnt(const std::string& name);
  // The learning wizard ended without a format: the control view shows again.
  void learningEnded();
  void defineOutputFormat(bool returnKey);
  // Opens the help page for the input at hand.
  void controlHelp();

  // --- menus

  bool validateMenuItem(const MenuItemQuery& item) const;
  void enableMenuItems();
  void disableMenuItems();

  // --- the run

  // Button "Process Transactions": fixes the run's settings, asks for the output file (save
  // panel, or the append open panel) unless the remembered file is appended to, stores
  // ControlSettings, and hands the input to its reader and processor. A cancelled panel ends
  // the run (doneWithFile).
  void processTheTransactions();
  // The processor's end of run. With a continuation, asks where to save the continuation file
  // and writes it. With a count of 0 or less, reports "No transactions output." and leaves the
  // output file alone. Otherwise writes the output file atomically, keeping its current text in
  // front when appending, and reports the count; a write that fails leaves the file exactly as
  // it was and is reported under "Output File Not Written".
  void processInstructionsDidEnd(int count, std::optional<Value> continuation);
  // The end of a run (the status view dismissed, the run cancelled): hides the window and
  // enables the menus.
  void doneWithFile();
  void cancel() { doneWithFile(); }

  // --- used by the steps above; public for the window layout and the tests

  void fillInTransactionPartOfDialog();
  void fillInAccountAndOutputPartOfDialog();
  void checkEverythingFilledIn();
  // Lists the fields that are visible now, in the order Tab visits them.
  void listTabOrder();
  void inputFormatSet();
  void outputFormatSet();
  void extract();
  // One-time warnings; each answers whether to go on.
  bool checkCategories();
  bool checkAccountsForAppend();
  bool checkSecurities();
  // Whether the "!Account" header a QIF run appends with (the option "append") can name the
  // account field's text: one of the accounts the field offers for the input's kind. True
  // when no such header is written (no append, delimited output, a continued run).
  bool appendAccountKnown() const;

 private:
  // Intake
  // Makes `text` the input; the lines of the input before it go, as they view its text.
  void setInputText(std::string text);
  void setNormalLayout();
  void setContinuationLayout();
  void fillOutputFilePart();
  void fillAccountPart();
  void classifyOFX();
  void classifyQIFOrText();
  void commonTail();
  int kindOfContinuedRun() const;
  void filterAccounts(int kind);
  void filterOutputFormats(int kind);
  void showStatus(const std::string& title, std::string_view format);
  bool showIfUnavailable(const Status& availability);
  void runClipboardTimer(std::uint64_t generation);

  // Run
  void saveAs();
  void savePanelDidEnd(const std::optional<std::string>& path);
  void actuallyProcessTheTransactions();
  void storeControlSettings(const std::optional<CalendarDay>& from,
                            const std::optional<CalendarDay>& to);
  // Starts a bank run over `qif`, fed the rest of its records by `feed` when it has one.
  void startBankRun(RecordList qif, RunFeed feed = {});
  // Starts a bank run over what `reading` reads (none: the text holds no transaction). Where
  // the input runs once, the run is fed: the records are read a window at a time, and what each
  // window writes is handed on before the next is read (written into the output file's
  // replacement, put in place at the end as a whole run's output is): the run then never holds
  // all its records, nor all its output.
  void startBankRun(std::unique_ptr<RecordWindows> reading);
  // Hands on what a fed run has written so far.
  Status handOn(std::string_view written);
  // Whether the run's output goes after what the file at `path` holds.
  bool keepsExistingOutput(const std::string& path) const;
  // Lets the input's text go once its records are read, when it is converted only once.
  void releaseInputIfRunOnce();
  RunEnd endOfRun();
  void saveContinuation(const Value& continuation);
  bool outputIsQIF() const;
  std::optional<Value> currentOutputFormat() const;
  // The files a run's output or continuation must never replace.
  std::vector<ProtectedFile> protectedFiles() const;
  // Writes the finished run's output to `path`, or gives it to the front end that takes it.
  Status writeOutput(const std::string& path);
  std::string formattedDay(const CalendarDay& day) const;
  CalendarDay today() const { return parts_.today(); }
  void redraw();

  ControllerParts parts_;
  DateTables dateTables_;
  MainForm form_;
  ControllerState state_;
  // Counts the inputs opened, so a clipboard timer that fires after another input was opened
  // does nothing.
  std::uint64_t inputGeneration_ = 0;
};

}  // namespace corvela
