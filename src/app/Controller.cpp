#include "app/Controller.h"

#include <algorithm>

#include "app/Classification.h"
#include "app/ControlSettings.h"
#include "app/MainView.h"
#include "app/NotAvailableYet.h"
#include "app/OutputFile.h"
#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "platform/Platform.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "prefs/Preferences.h"
#include "text/Dates.h"
#include "text/Lines.h"
#include "text/TextFile.h"

// Intake and classification of an input, and the menus that mark an input as loaded.

namespace corvela {
namespace {

constexpr std::string_view kControlTitle = "Corvela Control";
constexpr std::string_view kInvalidInput = "Invalid Input";

// The continuation file's keys that the intake reads.
constexpr std::string_view kContinuationText = "fileAsString";
constexpr std::string_view kContinuationAccount = "account";
constexpr std::string_view kContinuationOutputFormat = "outputFormatText";
constexpr std::string_view kContinuationOutputDate = "outputDateString";
constexpr std::string_view kContinuationOutputNumber = "outputNumberString";
constexpr std::string_view kContinuationSameDate = "sameDateSwitch";
constexpr std::string_view kContinuationSameNumber = "sameNumberSwitch";

}  // namespace

Controller::Controller(ControllerParts parts)
    : parts_(std::move(parts)), dateTables_(parts_.bundle.dateTables()) {}

RunSettings Controller::runSettings() const {
  RunSettings settings;
  settings.outputDate = state_.outputDate;
  settings.outputNumber = state_.outputNumber;
  settings.markAsCleared = state_.markAsCleared;
  settings.markAsUncleared = state_.markAsUncleared;
  // Each type pop-up speaks for the kind of input it is shown for: the QIF type remembered from
  // an earlier register must not reverse the signs of a download or of a text statement.
  const bool ofx = !state_.doingExtract && isOFX(state_.fileAsString);
  const bool qifRegister = !state_.doingExtract && !ofx;
  settings.qifTypeTag = qifRegister ? form_.qifTypePopUp.selectedTag() : 0;
  settings.ofxTypeIndex = ofx ? form_.qfxTypePopUp.selectedIndex : 0;
  settings.outputFormatText = form_.outputFormatText.text;
  settings.sameDateSwitch = form_.sameDateSwitch.on;
  settings.sameNumberSwitch = form_.sameNumberSwitch.on;
  settings.outputDateString = form_.outputDateString.text;
  settings.outputNumberString = form_.outputNumberString.text;
  settings.account = parts_.session.account.value_or("");
  return settings;
}

void Controller::redraw() { parts_.view.show(form_); }

void Controller::showStatus(const std::string& title, std::string_view format) {
  parts_.platform.title(title, format, state_.source);
}

bool Controller::showIfUnavailable(const Status& availability) {
  if (availability.ok()) return false;
  parts_.platform.showStatus(std::string(kNotAvailableTitle), "\r\r" + availability.message());
  return true;
}

// --- intake

bool Controller::applicationOpenFile(const std::string& path) {
  if (!state_.initialized) {
    enableMenuItems();
    state_.initialized = true;
  }
  if (!parts_.session.JustActivated && parts_.session.ProcessingGlobal) return false;
  // Being activated again does not end a run that waits for the person in a dialog: a new
  // input now would drop what they have confirmed and taught so far.
  if (state_.runInProgress) return false;
  actuallyProcessFile(path);
  return true;
}

void Controller::applicationDidFinishLaunching() {
  if (state_.initialized) return;
  enableMenuItems();
  state_.initialized = true;
  redraw();
}

void Controller::processFile() {
  parts_.session.JustActivated = false;
  OpenPanel panel;
  panel.directory = parts_.store.objectForKey(controllerKey::LastRootDirectory).toString();
  panel.fileTypes = {"txt", "qif", "QIF", "csv",  "jsp",  "asp", "qfx",
                     "QFX", "ofx", "OFX", "crvc", "cvef", ""};
  panel.typeGroups = {
      {"Statements", {"ofx", "OFX", "qfx", "QFX", "qif", "QIF", "csv", "txt", "jsp", "asp", ""}},
      {"Continuation files", {"crvc"}},
      {"Input formats", {"cvef"}},
  };
  std::optional<OpenPanelChoice> choice = parts_.platform.runOpenPanel(panel);
  if (!choice) return;
  actuallyProcessFile(choice->path);
}

void Controller::actuallyProcessFile(const std::string& path) {
  parts_.store.setObject(controllerKey::LastRootDirectory, Value(directoryOf(path)));
  std::string name = lastPathComponent(path);
  std::string extension = extensionOf(path);
  if (extension == "cvef") {
    if (showIfUnavailable(parts_.inputFormats.available())) return;
    parts_.inputFormats.importFile(path);
    return;
  }
  if (extension == "crvc") {
    // A continuation holds a run's every record: a long run makes a long archive.
    ArchiveLimits limits;
    limits.countsGrowWithSize = true;
    Result<Value> read = readKeyedArchiveFile(path, limits);
    if (!read.ok() || !read.value().isDictionary()) {
      std::string reason =
          read.ok() ? "\"" + path + "\" does not hold a continuation." : read.message();
      parts_.platform.showStatus(std::string(kInvalidInput), "\r\r" + reason);
      return;
    }
    ++inputGeneration_;
    state_.continuationData = read.value();
    state_.source = "Continuation file \"" + name + "\"";
    form_.inputFrom.text = name;
    setInputText(str(*state_.continuationData, kContinuationText));
  } else {
    Result<DecodedText> read = readTextFile(path);
    if (!read.ok()) {
      parts_.platform.showStatus(std::string(kInvalidInput), "\r\r" + read.message());
      return;
    }
    ++inputGeneration_;
    state_.continuationData.reset();
    state_.source = "File \"" + name + "\"";
    form_.inputFrom.text = name;
    setInputText(std::move(read).value().text);
  }
  // A file is not the clipboard, whatever the input before it was.
  state_.doingClipboard = false;
  state_.inputPath = path;
  processInput();
}

void Controller::processClipboard() {
  std::optional<std::string> text = parts_.platform.clipboardText();
  if (!text) {
    parts_.platform.title(
        "Clipboard Empty",
        "\r\rThe clipboard does not appear to contain any text and cannot be processed.",
        state_.source);
    return;
  }
  ++inputGeneration_;
  state_.doingClipboard = true;
  setInputText(std::move(*text));
  form_.inputFrom.text = "Clipboard";
  state_.source = "The clipboard";
  state_.inputPath.clear();
  state_.continuationData.reset();
  processInput();
}

void Controller::applicationDidBecomeActive() {
  parts_.session.JustActivated = true;
  if (parts_.session.ProcessingGlobal) return;
  std::optional<std::string> text = parts_.platform.clipboardText();
  if (!text || text->empty() || *text == state_.lastProcessedClipboard) return;
  setInputText(*text);
  ScanState scan;
  bool hasDate =
      findDateSlash(*text) || findDateDash(*text) || findDateLong(*text, dateTables_, scan);
  if (!hasDate) return;
  state_.doingClipboard = true;
  form_.inputFrom.text = "Clipboard";
  state_.source = "The clipboard";
  state_.inputPath.clear();
  state_.continuationData.reset();
  std::uint64_t generation = ++inputGeneration_;
  parts_.platform.scheduleOneShot(1.0, [this, generation] { runClipboardTimer(generation); });
}

void Controller::runClipboardTimer(std::uint64_t generation) {
  // Another input opened in the meantime has taken the working text over.
  if (generation != inputGeneration_ || parts_.session.ProcessingGlobal) return;
  processInput();
}

void Controller::dontTreatAsQIF() {
  state_.doingExtract = true;
  extract();
}

void Controller::setInputText(std::string text) {
  state_.skippedLines = 0;
  state_.fileAsString = std::move(text);
}

void Controller::processInput() {
  parts_.session.JustActivated = false;
  // Most texts hold no NUL; looking for one first is a much faster scan than replacing.
  if (state_.fileAsString.find('\0') != std::string::npos)
    std::replace(state_.fileAsString.begin(), state_.fileAsString.end(), '\0', ' ');
  state_.firstResponder.reset();
  if (!state_.continuationData) setNormalLayout();
  parts_.session.account.reset();
  if (isOFX(state_.fileAsString)) {
    classifyOFX();
  } else {
    classifyQIFOrText();
  }
  redraw();
}

void Controller::setNormalLayout() {
  for (Button* help :
       {&form_.inputHelp, &form_.accountHelp, &form_.transactionsHelp, &form_.outputHelp})
    help->visible = true;
  form_.continuationHelp.visible = false;
  form_.continuationWarning.visible = false;
  form_.transactionsNormal.visible = true;
  form_.transactionsContinuation.visible = false;
  form_.outputFormatText.visible = true;
  form_.outputFormatFixed.visible = false;
  form_.outputDateString.editable = true;
  form_.outputNumberString.editable = true;
  form_.sameDateSwitch.enabled = true;
  form_.sameNumberSwitch.enabled = true;
  form_.quickenAccountFixed.visible = false;
  form_.quickenAccountText.visible = true;
}

void Controller::setContinuationLayout() {
  const Value& continuation = *state_.continuationData;
  for (Button* help :
       {&form_.inputHelp, &form_.accountHelp, &form_.transactionsHelp, &form_.outputHelp})
    help->visible = false;
  form_.continuationHelp.visible = true;
  form_.outputFormatPrompt1.visible = false;
  form_.outputFormatPrompt2.visible = false;
  form_.continuationWarning.visible = true;
  form_.quickenAccountText.visible = false;
  form_.quickenAccountFixed.visible = true;
  form_.quickenAccountFixed.text = str(continuation, kContinuationAccount);
  form_.transactionsContinuation.visible = true;
  form_.transactionsNormal.visible = false;
  form_.outputFormatText.text = str(continuation, kContinuationOutputFormat);
  form_.outputFormatText.visible = false;
  form_.outputFormatFixed.visible = true;
  form_.outputFormatFixed.text = form_.outputFormatText.text;
  form_.outputDateString.text = str(continuation, kContinuationOutputDate);
  form_.outputDateString.editable = false;
  form_.outputNumberString.text = str(continuation, kContinuationOutputNumber);
  form_.outputNumberString.editable = false;
  form_.sameDateSwitch.on = continuation[kContinuationSameDate].toBool();
  form_.sameDateSwitch.enabled = false;
  form_.sameNumberSwitch.on = continuation[kContinuationSameNumber].toBool();
  form_.sameNumberSwitch.enabled = false;
  // The output file part was filled for the remembered output format; the continued run keeps
  // its own, so the file choice must follow that one (never append QIF to a delimited file).
  fillOutputFilePart();
  form_.processTheTransactionsButton.enabled = true;
  // The account and output format are fixed now, shown as text that Tab does not visit.
  listTabOrder();
}

void Controller::filterAccounts(int kind) {
  if (parts_.accounts.comboBoxIncludeOnly(kind, form_.quickenAccountText.text))
    form_.quickenAccountText.text.clear();
  form_.quickenAccountText.items = parts_.accounts.filteredNames();
}

void Controller::filterOutputFormats(int kind) {
  form_.outputFormatText.text =
      parts_.outputFormats.comboBoxIncludeOnly(kind, form_.outputFormatText.text);
  form_.outputFormatText.items = parts_.outputFormats.filteredNames();
}

void Controller::classifyOFX() {
  // doingClipboard stays as it is: a clipboard run of any kind remembers its text when it
  // finishes, so the same text is not offered again.
  state_.doingExtract = false;
  parts_.session.account = ofxAccount(state_.fileAsString);
  if (!checkCategories()) return;
  if (parts_.options.isOn(option::append) && !checkAccountsForAppend()) return;
  std::optional<int> kind = ofxStatementKind(state_.fileAsString);
  if (!kind) {
    showStatus(std::string(kInvalidInput),
               "\r\r%@ appears to contain QFX/OFX but does not represent Bank or Credit Card "
               "transactions; it cannot be processed.");
    return;
  }
  parts_.session.gType = *kind;
  form_.inputAccountType.text = kindLabel(*kind);
  bool showAll = parts_.options.isOn(option::showAllAccountNames) && *kind != kInvestmentKind;
  filterAccounts(showAll ? kBankOrCreditCardKind : *kind);
  filterOutputFormats(*kind);
  form_.extractFormatPrompt.visible = false;
  form_.qifTypePopUp.visible = false;
  form_.qifTypePopUp.select(0);
  form_.inputFormatText.visible = false;
  form_.qfxTypePopUp.visible = true;
  form_.qfxTypePopUp.select(0);
  state_.controlHelpAnchor = "QFX";
  commonTail();
}

void Controller::classifyQIFOrText() {
  using Outcome = QIFClassification::Outcome;
  // Recognising the input walks its lines, as a run does again later: a long register is
  // never held as a list of lines.
  std::size_t index = 0;
  int imported = parts_.listImport.process(state_.fileAsString, &index, state_.source);
  if (imported > 0 && (imported & 3) != 0) parts_.categories.updateAccounts();
  if (imported == -1) {
    showStatus("QIF List Import",
               "\r\r%@ appears to be an unsupported or corrupted QIF export; it cannot be "
               "imported.");
  }
  std::size_t start = imported != 0 ? index : 0;

  bool continuing = state_.continuationData.has_value();
  QIFClassification found = classifyQIF(state_.fileAsString, start, continuing, dateTables_);
  if (found.account) parts_.session.account = found.account;
  if (continuing && (found.outcome == Outcome::text || found.outcome == Outcome::noTransactions)) {
    // A continued run with delimited output, or with nothing output yet, holds no register to
    // recognise. It is still a continuation of a bank or card run: it gets its own layout, not
    // the text route, which would ask for an input format and let the output format change.
    found.outcome = Outcome::reg;
    found.kind = kindOfContinuedRun();
    found.skippedLines = 0;
  }
  switch (found.outcome) {
    case Outcome::noTransactions:
      showStatus("No Transactions", "\r\r%@ contains no QIF transactions to process.");
      return;
    case Outcome::multipleAccounts:
      showStatus(std::string(kInvalidInput),
                 "\r\r%@ contains transactions for multiple accounts; it cannot be processed.  "
                 "Corvela handles only one account at a time.");
      return;
    case Outcome::noTypeLine:
      showStatus(std::string(kInvalidInput),
                 "\r\r%@ contains no transactions; it cannot be processed.");
      return;
    case Outcome::text:
      form_.extractFormatPrompt.visible = true;
      state_.doingExtract = true;
      state_.controlHelpAnchor = "Text";
      extract();
      return;
    case Outcome::investment:
    case Outcome::reg:
      break;
  }

  state_.doingExtract = false;
  if (!checkCategories()) return;
  if (parts_.options.isOn(option::append) && !checkAccountsForAppend()) return;
  if (found.outcome == Outcome::investment && !continuing) {
    showStatus(std::string(kInvalidInput),
               "\r\r%@ contains INVESTMENT QIF, which is not supported by Corvela. It cannot be "
               "processed.");
    return;
  }
  parts_.session.gType = found.kind;
  form_.inputAccountType.text = kindLabel(found.kind);
  bool showAll = parts_.options.isOn(option::showAllAccountNames) &&
                 (found.kind == kBankKind || found.kind == kCreditCardKind);
  filterAccounts(showAll ? kBankOrCreditCardKind : found.kind);
  filterOutputFormats(found.kind);

  state_.skippedLines = found.skippedLines;

  form_.qifTypePopUp.visible = !continuing;
  form_.qifTypePopUp.select(0);
  form_.inputFormatText.visible = false;
  form_.qfxTypePopUp.visible = false;
  form_.qfxTypePopUp.select(0);
  form_.extractFormatPrompt.visible = false;
  state_.controlHelpAnchor = "QIF";
  commonTail();
}

int Controller::kindOfContinuedRun() const {
  // A delimited format is offered only for inputs of its own type.
  std::optional<Value> format =
      parts_.outputFormats.formatForName(str(*state_.continuationData, kContinuationOutputFormat));
  const std::string& type = format ? str(*format, outputFormatKey::Type) : std::string();
  if (type == outputFormatType::Bank) return kBankKind;
  if (type == outputFormatType::CreditCard) return kCreditCardKind;
  if (type == outputFormatType::Investment) return kInvestmentKind;
  // QIF output so far names its register, even when nothing was output yet and the header is
  // all there is (no record structure, so it does not classify as a register).
  LineWalk lines(state_.fileAsString);
  for (std::string_view line; lines.next(line);) {
    if (line == "!Type:Bank") return kBankKind;
    if (line == "!Type:CCard") return kCreditCardKind;
  }
  return kBankOrCreditCardKind;
}

void Controller::commonTail() {
  disableMenuItems();
  fillInTransactionPartOfDialog();
  fillInAccountAndOutputPartOfDialog();
  form_.outputFormatPrompt2.visible = false;
  form_.extractFormatPrompt2.visible = false;
  checkEverythingFilledIn();
  if (state_.continuationData) setContinuationLayout();

  if (parts_.options.isOn(option::runAutomatically) && !parts_.options.isOn(option::append) &&
      form_.processTheTransactionsButton.enabled) {
    redraw();
    processTheTransactions();
    return;
  }
  redraw();
  parts_.view.showControlView(std::string(kControlTitle));
  if (form_.quickenAccountText.visible) state_.firstResponder = MainControl::quickenAccountText;
  if (state_.firstResponder) parts_.view.focus(*state_.firstResponder);
}

// --- menus

bool Controller::validateMenuItem(const MenuItemQuery& item) const {
  return item.inTypePopUp || item.title == "Corvela Help" || !parts_.session.ProcessingGlobal;
}

void Controller::enableMenuItems() {
  for (std::size_t i = 0; i < static_cast<std::size_t>(MenuItem::importExtractFormatMenuItem); ++i)
    form_.menuItems[i] = true;
  parts_.session.ProcessingGlobal = false;
  redraw();
}

void Controller::disableMenuItems() {
  form_.menuItems.fill(false);
  parts_.session.ProcessingGlobal = true;
}

void Controller::controlHelp() {
  parts_.platform.openHelpPage(state_.controlHelpAnchor.empty() ? "QIF" : state_.controlHelpAnchor);
}

}  // namespace corvela
