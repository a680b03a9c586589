#include <algorithm>
#include <cstdint>
#include <memory>

#include "app/Classification.h"
#include "app/ControlSettings.h"
#include "app/Controller.h"
#include "app/InputFormatChoice.h"
#include "app/MainView.h"
#include "app/NotAvailableYet.h"
#include "app/OutputFile.h"
#include "formats/ErrorWarning.h"
#include "formats/InputFormatKeys.h"
#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "formats/QIFOutputText.h"
#include "lists/Accounts.h"
#include "platform/Platform.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/QIFReader.h"
#include "text/Dates.h"
#include "text/Lines.h"

// One conversion: from "Process Transactions" through the output file choice, the reader and
// the processor, to the output file and the final report.

namespace corvela {
namespace {

constexpr std::string_view kFinished = "Finished Processing Transactions";
constexpr std::string_view kContinuationNotCreated = "Continuation File Not Created";
constexpr std::string_view kCannotInterpret =
    "The text cannot be interpreted using the selected format.";
// The bundle's OFX investment format, the store's OFXFormat when it has none.
constexpr std::string_view kBundleOFXFormat = "CVOFXFormat";
// The option's title in the preferences window, so the person can find it.
constexpr std::string_view kDayFirstRead =
    "\r\rThe dates were read day before month (as in 31/12/2009): every date of the register "
    "reads that way, and some cannot be read month first.";
constexpr std::string_view kDayFirstHint =
    "\r\rThe dates may be written day before month (as in 31/12/2009). If so, turn on the "
    "option \"QIF files write their dates day before month\" in the preferences and open the "
    "file again.";

// The name of the one format in `after` that `before` did not hold, if any.
std::optional<std::string> addedFormatName(const Value& before, const Value& after) {
  for (const Value& format : after.toArray()) {
    const std::string& name = str(format, outputFormatKey::Name);
    bool known =
        std::any_of(before.toArray().begin(), before.toArray().end(),
                    [&](const Value& old) { return str(old, outputFormatKey::Name) == name; });
    if (!known) return name;
  }
  return std::nullopt;
}

}  // namespace

void Controller::processTheTransactions() {
  // Also when the run is started otherwise than by the button (Return in a format field).
  if (!appendAccountKnown()) return;
  if (!checkCategories()) return;
  Session& session = parts_.session;
  if (!session.account) {
    // A continued run shows its account in the fixed label, in place of the account field.
    session.account =
        state_.continuationData ? form_.quickenAccountFixed.text : form_.quickenAccountText.text;
  }

  auto [cleared, uncleared] = markOptionsForKind(session.gType);
  state_.markAsCleared = !cleared.empty() && parts_.options.isOn(cleared);
  state_.markAsUncleared = !uncleared.empty() && parts_.options.isOn(uncleared);
  state_.outputDate = form_.sameDateSwitch.on ? form_.outputDateString.text : std::string();
  state_.outputNumber = form_.sameNumberSwitch.on ? form_.outputNumberString.text : std::string();

  bool appendChosen = state_.doAppend && form_.appendSwitch.on;
  if (outputIsQIF() || !appendChosen) {
    if (appendChosen) {
      actuallyProcessTheTransactions();
    } else {
      saveAs();
    }
    return;
  }
  // Appending delimited output: to the remembered file when it is offered and chosen, else to
  // a file chosen now.
  bool rememberedFile = form_.appendPopUp.items.size() == 2 && form_.appendPopUp.selectedIndex == 0;
  if (rememberedFile) {
    actuallyProcessTheTransactions();
    return;
  }
  std::optional<Value> format = currentOutputFormat();
  OpenPanel panel;
  panel.prompt = "Append To";
  panel.appendSwitch = true;
  panel.asSheet = true;
  if (format && str(*format, outputFormatKey::Separator).starts_with(outputSeparator::Comma)) {
    panel.fileTypes = {"csv"};
  } else {
    panel.fileTypes = {"txt", ""};
  }
  std::optional<OpenPanelChoice> choice = parts_.platform.runOpenPanel(panel);
  if (choice) form_.appendSwitch.on = choice->append;
  savePanelDidEnd(choice ? std::optional<std::string>(choice->path) : std::nullopt);
}

void Controller::saveAs() {
  bool qif = outputIsQIF();
  std::optional<Value> format = currentOutputFormat();
  std::string fileType = requiredFileType(qif, format ? *format : Value());
  bool windowShown = parts_.view.isVisible();
  SavePanel panel;
  panel.directory = parts_.store.objectForKey(controllerKey::LastRootDirectory).toString();
  panel.requiredFileType = fileType;
  panel.suggestedName = suggestedOutputName(qif || !windowShown, fileType, today());
  panel.asSheet = windowShown;
  savePanelDidEnd(parts_.platform.runSavePanel(panel));
}

void Controller::savePanelDidEnd(const std::optional<std::string>& path) {
  if (!path) {
    doneWithFile();
    return;
  }
  // Refused before the run, not after the person has answered for every transaction.
  if (Status allowed = parts_.takeOutput ? Status::OK() : checkOutputPath(*path, protectedFiles());
      !allowed.ok()) {
    parts_.platform.showStatus(
        "Output File Not Written",
        "\r\r" + allowed.message() + "\r\rNo transactions were processed; nothing was changed.");
    redraw();
    return;
  }
  state_.outputFilePath = *path;
  parts_.store.setObject(controllerKey::LastRootDirectory, Value(directoryOf(*path)));
  actuallyProcessTheTransactions();
}

void Controller::actuallyProcessTheTransactions() {
  state_.outputFileAsString.clear();
  // The output of a statement is about the size of its text or smaller. Room that is never
  // written to is never given memory, so reserving generously costs nothing, and spares the
  // copies (and the pages touched twice) of a buffer that doubles its way up.
  state_.outputFileAsString.reserve(std::max<std::size_t>(512, 2 * state_.fileAsString.size()));
  state_.reportNote.clear();
  state_.outputWriter.reset();
  state_.handedOn = Status::OK();
  parts_.errorWarning.reset();

  if (state_.continuationData) {
    const Value& continuation = *state_.continuationData;
    if (continuation.contains("qif")) {
      if (showIfUnavailable(parts_.bank.available())) return;
      parts_.bank.continueWith(continuation, state_.outputFileAsString, runSettings(), endOfRun());
    } else {
      if (showIfUnavailable(parts_.investment.available())) return;
      parts_.investment.continueWith(continuation, state_.outputFileAsString, runSettings(),
                                     endOfRun());
    }
    return;
  }

  int gType = parts_.session.gType;
  if (gType == kInvestmentKind) checkSecurities();

  std::optional<CalendarDay> from;
  std::optional<CalendarDay> to;
  switch (state_.whichTransactionsTag) {
    case kAllTransactions:
      from = CalendarDay::distantPast();
      to = CalendarDay::distantFuture();
      break;
    case kLastMonth: {
      auto [first, last] = lastMonth(today());
      from = first;
      to = last;
      break;
    }
    case kDateRange: {
      std::string pattern = outputDatePattern(parts_.store);
      std::string shortYear = outputDateShortYearPattern(parts_.store);
      to = parseDialogDate(form_.dateToString.text, pattern, shortYear);
      from = parseDialogDate(form_.dateFromString.text, pattern, shortYear);
      break;
    }
    default:
      break;
  }
  storeControlSettings(from, to);
  // A range that could not be read takes every transaction, as no dates mean no limit.
  CalendarDay fromDate = from && to ? *from : CalendarDay::distantPast();
  CalendarDay toDate = from && to ? *to : CalendarDay::distantFuture();

  if (outputIsQIF()) {
    if (parts_.options.isOn(option::append)) {
      const std::string& name = form_.quickenAccountText.text;
      state_.outputFileAsString += qifAccountHeader(name, parts_.accounts.typeForAccount(name));
    } else {
      state_.outputFileAsString += qifTypeHeader(gType);
    }
  }

  if (state_.doingExtract) {
    std::optional<Value> format = inputFormatForName(parts_.store, form_.inputFormatText.text);
    if (!format) return;
    const std::string& text = state_.fileAsString;
    if (str(*format, inputFormatKey::FormatType) == "Investment") {
      if (showIfUnavailable(parts_.investment.available())) return;
      if (!parts_.investment.fromFormattedText(text, *format, fromDate, toDate)) {
        showStatus("Invalid Format", "\r\r" + std::string(kCannotInterpret));
        return;
      }
      RunSettings settings = runSettings();
      releaseInputIfRunOnce();
      parts_.investment.processInstructionsAndAppendToString(state_.outputFileAsString, settings,
                                                             endOfRun());
      return;
    }
    if (showIfUnavailable(parts_.text.available())) return;
    if (showIfUnavailable(parts_.bank.available())) return;
    startBankRun(parts_.text.fromFormattedText(text, *format, fromDate, toDate));
    return;
  }

  if (isOFX(state_.fileAsString) && gType == kInvestmentKind) {
    if (showIfUnavailable(parts_.investment.available())) return;
    const Value& bundleFormat = parts_.bundle.table(kBundleOFXFormat);
    Value ofxFormat = parts_.store.objectForKey(controllerKey::OFXFormat);
    if (ofxFormat.isNull()) {
      ofxFormat = bundleFormat;
      parts_.store.setObject(controllerKey::OFXFormat, ofxFormat);
    } else if (ofxFormat[inputFormatKey::Types].size() == 2) {
      // An OFX format of an older version knows only two types; the bundle's list replaces
      // them, already for this run: read with two, most of the download would be left out.
      ofxFormat.set(inputFormatKey::Types, bundleFormat[inputFormatKey::Types]);
      if (parts_.inputFormats.available().ok()) parts_.inputFormats.addFormat(ofxFormat);
    }
    if (!parts_.investment.fromFormattedText(state_.fileAsString, ofxFormat, fromDate, toDate)) {
      showStatus("Invalid OFX", "\r\rThis investment OFX cannot be understood.");
      return;
    }
    RunSettings settings = runSettings();
    releaseInputIfRunOnce();
    parts_.investment.processInstructionsAndAppendToString(state_.outputFileAsString, settings,
                                                           endOfRun());
    return;
  }

  if (isOFX(state_.fileAsString)) {
    if (showIfUnavailable(parts_.bank.available())) return;
    startBankRun(parts_.ofxReader.fromOFX(state_.fileAsString, fromDate, toDate).qif);
    return;
  }

  if (showIfUnavailable(parts_.bank.available())) return;
  QIFReadResult read;
  std::unique_ptr<RecordWindows> records = parts_.qifReader.windows(
      state_.fileAsString, state_.skippedLines, fromDate, toDate, today(), read);
  if (!read.ok()) {
    std::string line = std::to_string(read.failedLine + static_cast<int>(state_.skippedLines));
    parts_.platform.showStatus(
        "Invalid Input",
        formatMessage("\r\r%@ appears to contain corrupted QIF on line %d; it cannot be processed.",
                      {state_.source, line}) +
            std::string(read.mayBeDayFirst ? kDayFirstHint : ""));
    return;
  }
  if (read.readDayFirst) state_.reportNote = kDayFirstRead;
  startBankRun(std::move(records));
}

void Controller::startBankRun(std::unique_ptr<RecordWindows> reading) {
  // The text reader found no transaction, or the person gave the reading up at one that could
  // not be read.
  auto unreadable = [this] {
    showStatus("Invalid Format", "\r\r" + std::string(kCannotInterpret));
  };
  if (!reading) return unreadable();
  const bool fed = parts_.inputRunsOnce;
  const std::size_t window = std::max<std::size_t>(1, parts_.recordWindow);
  RecordList first;
  reading->next(first, fed ? window : SIZE_MAX);
  if (reading->givenUp()) return unreadable();
  if (!fed) return startBankRun(std::move(first));

  std::shared_ptr<RecordWindows> windows = std::move(reading);
  RunFeed feed;
  feed.next = [this, windows, window](RecordList& records) {
    if (windows->next(records, window) && !windows->givenUp()) return true;
    // Given up half-way (a front end that never stops a run does not), the run writes nothing.
    if (windows->givenUp() && state_.handedOn.ok())
      state_.handedOn = Status::Error(std::string(kCannotInterpret));
    return false;
  };
  feed.drain = [this](std::string& written) {
    if (state_.handedOn.ok()) state_.handedOn = handOn(written);
    written.clear();
  };
  startBankRun(std::move(first), std::move(feed));
}

void Controller::startBankRun(RecordList qif, RunFeed feed) {
  bool mustConfirm = parts_.options.isOn(state_.doingExtract ? option::textConfirmAllTransactions
                                                             : option::confirmAllTransactions);
  // The settings are read first: which pop-up counts depends on what the input was.
  RunSettings settings = runSettings();
  // A fed run reads its windows from the input's text until it ends.
  if (!feed.next) releaseInputIfRunOnce();
  parts_.bank.setTransactions(std::move(qif), mustConfirm);
  parts_.bank.setFeed(std::move(feed));
  parts_.bank.processInstructionsAndAppendToString(state_.outputFileAsString, settings, endOfRun());
}

void Controller::releaseInputIfRunOnce() {
  // The run's settings depend on what the input was: they are read before this.
  // Swapped, not assigned: assigning an empty text keeps the room of the old one.
  if (parts_.inputRunsOnce) std::string().swap(state_.fileAsString);
}

RunEnd Controller::endOfRun() {
  // Asked for right before a processor starts: from here until its end, a run is in progress.
  state_.runInProgress = true;
  return [this](int count, std::optional<Value> continuation) {
    state_.runInProgress = false;
    processInstructionsDidEnd(count, std::move(continuation));
  };
}

void Controller::storeControlSettings(const std::optional<CalendarDay>& from,
                                      const std::optional<CalendarDay>& to) {
  auto dateValue = [&](const std::optional<CalendarDay>& day, Value::Date bound) -> Value {
    if (!day) return Value();
    if (*day == CalendarDay::distantPast() || *day == CalendarDay::distantFuture())
      return Value(bound);
    return Value(dateOfDay(*day));
  };
  std::optional<CalendarDay> outputDay =
      parseDialogDate(form_.outputDateString.text, outputDatePattern(parts_.store),
                      outputDateShortYearPattern(parts_.store));
  Value settings = controlSettingsFromPairs({
      {controlSettingsKey::whichTransactions, Value(state_.whichTransactionsTag)},
      {controlSettingsKey::dateFrom, dateValue(from, distantPastDate())},
      {controlSettingsKey::dateTo, dateValue(to, distantFutureDate())},
      {controlSettingsKey::outputDate,
       outputDay ? Value(dateOfDay(*outputDay)) : Value(form_.outputDateString.text)},
      {controlSettingsKey::outputNumberString, Value(form_.outputNumberString.text)},
      {controlSettingsKey::outputFilePath, Value(state_.outputFilePath)},
      {controlSettingsKey::outputFormat, Value(form_.outputFormatText.text)},
      {controlSettingsKey::inputQIFType, Value(form_.qifTypePopUp.selectedIndex)},
  });
  parts_.store.setObject(controllerKey::ControlSettings, settings);
}

void Controller::processInstructionsDidEnd(int count, std::optional<Value> continuation) {
  // The output file a fed run began is put in place by writeOutput, or never.
  if (continuation || count <= 0) state_.outputWriter.reset();
  // A fed run read its records from the text until its end.
  releaseInputIfRunOnce();
  if (continuation) {
    saveContinuation(*continuation);
    redraw();
    return;
  }
  // What else became of the transactions: a run that wrote one of five says so.
  const RunTally tally = parts_.session.gType == kInvestmentKind ? RunTally{} : parts_.bank.tally();
  const std::string more = tallyText(tally);
  state_.runTally = more;
  if (count <= 0) {
    parts_.platform.showStatus(std::string(kFinished),
                               "\r\r\rNo transactions output." + (more.empty() ? "" : " " + more));
    redraw();
    return;
  }
  if (state_.doingClipboard)
    state_.lastProcessedClipboard = parts_.platform.clipboardText().value_or("");

  const std::string& path = state_.outputFilePath;
  Status written = writeOutput(path);
  if (!written.ok()) {
    parts_.platform.showStatus(
        "Output File Not Written",
        "\r\r" + written.message() +
            "\r\rNo transactions were placed in the output file; it was left as it was.");
    redraw();
    return;
  }
  std::string number = std::to_string(count);
  // The whole path: the person must find the file, and the panel may have been anywhere.
  parts_.platform.showStatus(
      std::string(kFinished),
      formatMessage("\r\r%d transaction%@ output to file \"%@\".%@%@",
                    {number, count == 1 ? "" : "s", path,
                     more.empty() ? std::string() : "\r\r" + more, state_.reportNote}));
  redraw();
}

Status Controller::writeOutput(const std::string& path) {
  // What a fed run handed on is followed by the rest.
  if (!state_.handedOn.ok()) return state_.handedOn;
  if (parts_.takeOutput) return parts_.takeOutput(state_.outputFileAsString);
  if (state_.outputWriter) {
    OutputFileWriter writer = std::move(*state_.outputWriter);
    state_.outputWriter.reset();
    if (Status written = writer.append(state_.outputFileAsString); !written.ok()) return written;
    return writer.commit();
  }
  if (Status allowed = checkOutputPath(path, protectedFiles()); !allowed.ok()) return allowed;
  return writeOutputFile(path, state_.outputFileAsString, keepsExistingOutput(path),
                         parts_.fileOps ? *parts_.fileOps : FileOps::system());
}

Status Controller::handOn(std::string_view written) {
  if (parts_.takeOutput) return parts_.takeOutput(written);
  if (!state_.outputWriter) {
    const std::string& path = state_.outputFilePath;
    if (Status allowed = checkOutputPath(path, protectedFiles()); !allowed.ok()) return allowed;
    Result<OutputFileWriter> opened = OutputFileWriter::open(
        path, keepsExistingOutput(path), parts_.fileOps ? *parts_.fileOps : FileOps::system());
    if (!opened.ok()) return opened.status();
    state_.outputWriter.emplace(std::move(opened).value());
  }
  return state_.outputWriter->append(written);
}

bool Controller::keepsExistingOutput(const std::string& path) const {
  return isWritableFile(path) && form_.appendSwitch.on &&
         (parts_.options.isOn(option::append) || !outputIsQIF());
}

std::vector<ProtectedFile> Controller::protectedFiles() const {
  std::vector<ProtectedFile> files;
  if (!state_.inputPath.empty())
    files.push_back({state_.inputPath, state_.continuationData
                                           ? "the continuation file being resumed"
                                           : "the input"});
  files.push_back({parts_.store.prefsPath(), "the preference store"});
  return files;
}

void Controller::saveContinuation(const Value& continuation) {
  SavePanel panel;
  panel.requiredFileType = "crvc";
  panel.asSheet = true;
  const std::string input =
      state_.inputPath.empty() ? std::string("Clipboard") : lastPathComponent(state_.inputPath);
  panel.suggestedName = input.substr(0, input.rfind('.')) + " (unfinished).crvc";
  panel.message =
      "A continuation file keeps the transactions of this run and what you did with them so far. "
      "Open it with Corvela later to finish the run where you stopped.";
  std::optional<std::string> path = parts_.platform.runSavePanel(panel);
  if (!path) {
    parts_.platform.showStatus(
        std::string(kContinuationNotCreated),
        "No transactions were placed in the output file.\r\rThe continuation file was not "
        "created.");
    return;
  }
  parts_.store.setObject(controllerKey::LastRootDirectory, Value(directoryOf(*path)));
  // Written atomically over any file of that name, so a failed write destroys nothing.
  if (Status allowed = checkOutputPath(*path, protectedFiles()); !allowed.ok()) {
    parts_.platform.showStatus(
        std::string(kContinuationNotCreated),
        "No transactions were placed in the output file.\r\r" + allowed.message());
    return;
  }
  Status written = writeKeyedArchiveFile(*path, continuation);
  if (!written.ok()) {
    parts_.platform.showStatus(
        std::string(kContinuationNotCreated),
        "No transactions were placed in the output file.\r\rThe continuation file could not be "
        "created because of an unknown error.");
    return;
  }
  parts_.platform.showStatus(
      "Continuation File Created",
      "No transactions were placed in the output file.\r\rA continuation file with both your "
      "processed and unprocessed transactions was created.  You can open it later with Corvela "
      "to finish processing your transactions and place all of them in the output file you "
      "choose when you continue.\r\rThe continuation file is \"" +
          *path + "\".");
}

void Controller::doneWithFile() {
  parts_.view.hideKeyWindow();
  enableMenuItems();
}

void Controller::learn(bool returnKey) {
  const std::string& name = form_.inputFormatText.text;
  bool known = inputFormatForName(parts_.store, name).has_value();
  if (!name.empty() && !known) {
    if (showIfUnavailable(parts_.inputFormats.available())) return;
    parts_.inputFormats.learnFromString(state_.fileAsString, state_.fileAsString, name);
    return;
  }
  if (known && returnKey &&
      !(form_.quickenAccountText.visible && form_.quickenAccountText.text.empty())) {
    processTheTransactions();
    return;
  }
  parts_.view.focus(MainControl::inputFormatText);
}

void Controller::defineOutputFormat(bool returnKey) {
  const std::string& name = form_.outputFormatText.text;
  bool known = currentOutputFormat().has_value();
  if (!name.empty() && !known) {
    if (showIfUnavailable(parts_.outputFormatDefinition.available())) return;
    const Value before = parts_.outputFormats.getOutputFormatsArray();
    parts_.outputFormatDefinition.editFormatAtIndex(-1, name, true);
    // The format the dialog stored (it may have been renamed there) becomes the chosen one; a
    // cancelled dialog stored none and the field keeps what was typed.
    if (std::optional<std::string> defined =
            addedFormatName(before, parts_.outputFormats.getOutputFormatsArray())) {
      controlTextDidChange(MainControl::outputFormatText, *defined);
      return;
    }
    fillInAccountAndOutputPartOfDialog();
    checkEverythingFilledIn();
    return;
  }
  if (known && returnKey && form_.processTheTransactionsButton.enabled) {
    processTheTransactions();
    return;
  }
  parts_.view.focus(MainControl::outputFormatText);
}

}  // namespace corvela
