// Controller scenarios played step by step as a person would. Each one is a file
// tests/data/app/scripts/NAME.script, one step a line ("#" starts a comment), see play below.
// What the steps write down ("snap", "report", "step", "state", "lines", "items") must equal the
// golden file tests/data/app/golden/NAME.txt (CORVELA_UPDATE_GOLDEN=1 rewrites it, to be read
// over); "expect QUERY = VALUE" checks a value outside the form on the spot.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/ControllerFixture.h"
#include "formats/OutputFormatKeys.h"
#include "prefs/KeyedArchive.h"
#include "prefs/ValueText.h"
#include "support/FailingRename.h"
#include "text/Lines.h"

namespace corvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kScripts = fs::path(CORVELA_TEST_DATA) / "app" / "scripts";

// The register a bare "load" reads.
constexpr const char* kRegister = "!Type:Bank\nD03/01/2024\nT-12.50\nPGrocer\n^\n";

constexpr std::pair<const char*, MainControl> kControls[] = {
    {"inputFormatText", MainControl::inputFormatText},
    {"quickenAccountText", MainControl::quickenAccountText},
    {"dateFromString", MainControl::dateFromString},
    {"dateToString", MainControl::dateToString},
    {"outputFormatText", MainControl::outputFormatText},
    {"outputDateString", MainControl::outputDateString},
    {"outputNumberString", MainControl::outputNumberString}};

MainControl control(const std::string& name) {
  for (auto [n, c] : kControls)
    if (name == n) return c;
  ADD_FAILURE() << "no control " << name;
  return MainControl::inputFormatText;
}
std::string nameOf(MainControl c) {
  for (auto [n, each] : kControls)
    if (each == c) return n;
  return "?";
}

// The controller's own actions, by the names the scripts give them.
constexpr std::pair<const char*, void (Controller::*)()> kActions[] = {
    {"done", &Controller::doneWithFile},
    {"choose", &Controller::processFile},
    {"cancel", &Controller::cancel},
    {"launched", &Controller::applicationDidFinishLaunching},
    {"activated", &Controller::applicationDidBecomeActive},
    {"processClipboard", &Controller::processClipboard},
    {"process", &Controller::processTheTransactions},
    {"notQIF", &Controller::dontTreatAsQIF},
    {"checkDateRange", &Controller::checkDateRange},
    {"continueFromLastTime", &Controller::continueFromWhereIStoppedLastTime},
    {"help", &Controller::controlHelp}};
// A switch ("NAME on|off") or a key ("NAME" alone, or "NAME return" for the return key).
constexpr std::pair<const char*, void (Controller::*)(bool)> kSwitches[] = {
    {"learn", &Controller::learn},
    {"define", &Controller::defineOutputFormat},
    {"sameDate", &Controller::checkOutputDate},
    {"sameNumber", &Controller::checkOutputNumber},
    {"appendSwitch", &Controller::setAppendSwitch}};

// "\n", "\r", "\0" and "\\" stand for themselves in a script's texts.
std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
  }
  return out;
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : "|") + item;
  return out;
}

class ControllerScriptTest : public ControllerTest,
                             public ::testing::WithParamInterface<std::string> {
 protected:
  // A file of the test's folder (none: the folder), with "data:" one of tests/data/app, or the
  // store's file.
  std::string path(const std::string& name) {
    if (name == "store") return store.prefs.prefsPath();
    if (name.empty()) return dir;
    return name.starts_with("data:") ? std::string(CORVELA_TEST_DATA) + "/app/" + name.substr(5)
                                     : dir + "/" + name;
  }
  // "KEY int N; KEY text T; KEY date YYYY-MM-DD; KEY path NAME; KEY future" over the defaults.
  void rememberAll(const std::string& entries) {
    Value settings = defaultControlSettings(today);
    std::istringstream list(entries);
    for (std::string entry; std::getline(list >> std::ws, entry, ';');) {
      std::istringstream in(entry);
      std::string key, kind, value;
      in >> key >> kind;
      std::getline(in >> std::ws, value);
      if (kind == "int") settings.set(key, std::stoi(value));
      if (kind == "text") settings.set(key, value);
      if (kind == "path") settings.set(key, path(value));
      if (kind == "future") settings.set(key, Value(distantFutureDate()));
      if (kind == "date")
        settings.set(key,
                     Value(dateOfDay({std::stoi(value.substr(0, 4)), std::stoi(value.substr(5, 2)),
                                      std::stoi(value.substr(8, 2))})));
    }
    store.prefs.setObject("ControlSettings", settings);
  }
  void logState() {
    const ControllerState& state = controller().state();
    log += "kind " + std::to_string(session.gType) + ", account " +
           (session.account ? "\"" + *session.account + "\"" : "none") + ", skipped " +
           std::to_string(state.skippedLines) + ", source " + state.source + ", help " +
           state.controlHelpAnchor + (state.doingExtract ? ", extract" : "") +
           (state.doingClipboard ? ", clipboard" : "") +
           (session.JustActivated ? ", just activated" : "") +
           (session.ProcessingGlobal ? ", processing" : "") + "\n";
  }
  // The status views and save panels shown since the last step, the control views brought
  // forward since then, the timers waiting, the form (`withForm`) and the state.
  void step(const std::string& name, bool withForm) {
    report(name);
    log += "control views " + std::to_string(view.controlViewTitles.size()) + ", timers";
    for (const ScriptedPlatform::Timer& timer : platform.timers)
      log += " " + std::to_string(timer.seconds).substr(0, 3) + "s";
    log += "\n" + (withForm ? describe(form()) : "");
    view.controlViewTitles.clear();
    logState();
  }
  void addDelimitedFormat(const std::string& name, const std::string& separator, bool withAccount) {
    Value format = newOutputFormat(name);
    format.set("Separator", separator);
    if (withAccount) {
      Value order = format["Order"];
      Value present = format["Present"];
      order.append("Account");
      present.append(true);
      format.set("Order", order);
      format.set("Present", present);
    }
    outputFormats.addFormat(format);
  }
  // A dictionary against the one last archived (or handed to the processor to keep).
  std::string same(const std::optional<Value>& value) {
    return !value ? "none" : *value == archived ? "as archived" : toJSON(*value);
  }
  std::string query(const std::string& what, const std::string& arg);
  void play(const std::string& line);

  std::size_t focusMark = 0;
  // The dictionary last written by "archive".
  Value archived;
  FailingRename failingRename;
};

std::string yes(bool on) { return on ? "1" : "0"; }

// A value outside the form (or one field of it) that "expect" compares.
std::string ControllerScriptTest::query(const std::string& what, const std::string& arg) {
  const ControllerState& state = controller().state();
  if (what == "doAppend") return yes(state.doAppend);
  if (what == "dateRangeOK") return yes(state.dateRangeOK);
  if (what == "doingExtract") return yes(state.doingExtract);
  if (what == "helpAnchor") return state.controlHelpAnchor;
  if (what == "fileAsString") return state.fileAsString;
  if (what == "focus") return view.focused.empty() ? "none" : nameOf(view.focused.back());
  if (what == "focusesSinceMark") return std::to_string(view.focused.size() - focusMark);
  if (what == "kind") return std::to_string(session.gType);
  if (what == "processing") return yes(session.ProcessingGlobal);
  if (what == "visible") return yes(view.visible);
  if (what == "shownButton") return yes(view.shown.processTheTransactionsButton.enabled);
  if (what == "prefsMenu") return yes(form().menuItemEnabled(MenuItem::preferencesMenuItem));
  if (what == "accountItems") return joined(form().quickenAccountText.items);
  if (what == "definitionRuns") return std::to_string(definitionView.runs);
  if (what == "savePanels") return std::to_string(platform.savePanels.size());
  if (what == "statuses") return std::to_string(platform.statuses.size());
  if (what == "lastStatus") return platform.lastStatus().title;
  if (what == "statusEnd") {
    const std::string& text = platform.lastStatus().text;
    return text.substr(text.rfind("\r\r") + 2);
  }
  if (what == "helpPages") return joined(platform.helpPages);
  if (what == "controlViews") return joined(view.controlViewTitles);
  if (what == "initialized") return yes(state.initialized);
  if (what == "justActivated") return yes(session.JustActivated);
  if (what == "continued") return same(bank.continued);
  if (what == "archive") return same(readKeyedArchiveFile(path(arg)).value());
  if (what == "mustConfirm") return yes(bank.mustConfirm);
  if (what == "records") return yes(bank.records.has_value());
  if (what == "qifTypeTag") return std::to_string(bank.settings.qifTypeTag);
  if (what == "runAccount") return bank.settings.account;
  if (what == "runSettings") {  // date, number, switch, number typed, marks, QIF type
    const RunSettings& r = bank.settings;
    return r.outputDate + "|" + r.outputNumber + "|" + yes(r.sameDateSwitch) + "|" +
           r.outputNumberString + "|" + yes(r.markAsCleared) + yes(r.markAsUncleared) + "|" +
           std::to_string(r.qifTypeTag);
  }
  if (what == "errorRecords") {
    std::vector<std::string> at;
    const Value::Array& records = bank.records->toArray();
    for (std::size_t i = 0; i < records.size(); ++i)
      if (records[i].contains("errorMessage")) at.push_back(std::to_string(i));
    return joined(at);
  }
  if (what == "sameFiles") {
    std::size_t cut = arg.find(' ');
    return yes(readFile(path(arg.substr(0, cut))) == readFile(path(arg.substr(cut + 1))));
  }
  // A remembered setting as JSON, or a remembered date as its day.
  if (what == "setting") {
    std::string json = toJSON(store.prefs.objectForKey("ControlSettings")[arg]);
    return json.substr(0, json.find_last_not_of('\n') + 1);
  }
  if (what == "settingDay")
    return dayOfDate(store.prefs.objectForKey("ControlSettings")[arg].toDate()).format("%F");
  if (what == "panelDirectory") return platform.savePanels.at(0).directory;
  if (what == "openPanelDirectory") return platform.openPanels.at(0).directory;
  if (what == "openPanels") {
    std::vector<std::string> panels;
    for (const OpenPanel& panel : platform.openPanels)
      panels.push_back(panel.prompt + " " + joined(panel.fileTypes));
    return joined(panels);
  }
  if (what == "categories") {
    std::vector<std::string> names;
    for (const Value& name : categories.getCategoriesArray().toArray())
      names.push_back(name.toString());
    return joined(names);
  }
  if (what == "continuation")
    return !state.continuationData               ? "none"
           : *state.continuationData == archived ? "as archived"
                                                 : toJSON(*state.continuationData);
  if (what == "sheets") {
    std::string sheets;
    for (const SavePanel& panel : platform.savePanels) sheets += yes(panel.asSheet);
    return sheets;
  }
  if (what == "defaultSettings")
    return yes(store.prefs.objectForKey("ControlSettings") == defaultControlSettings(today));
  if (what == "pref") return store.prefs.objectForKey(arg).toString();
  if (what == "checkSecurities") return yes(controller().checkSecurities());
  if (what == "openFile") return yes(controller().applicationOpenFile(path(arg)));
  if (what == "alerts") {
    std::vector<std::string> titles;
    for (const Alert& alert : platform.alerts) titles.push_back(alert.title);
    return joined(titles);
  }
  if (what == "menu")  // "menu 0|1 TITLE": the item, with or without its alternate
    return yes(controller().validateMenuItem({arg.substr(2), arg[0] == '1'}));
  if (what == "form") {  // "form CONTROL": its line of the form, or (hidden)
    std::istringstream lines(describe(form()));
    for (std::string each; std::getline(lines, each);)
      if (each.starts_with(arg + ":")) return each.substr(std::min(each.size(), arg.size() + 2));
    return "(hidden)";
  }
  ADD_FAILURE() << "no query " << what;
  return "";
}

// Plays one line: "load [NAME [TEXT]]" (bare: in.qif holding kRegister), "open NAME", "file NAME
// TEXT", "copy FROM TO", "failingRename", "fed N", "type CONTROL TEXT", "option NAME", "accounts
// NAME:TYPE...", "informat NAME|TYPE|MATCH", "delimited NAME|SEPARATOR|account?", "outputFormat
// NAME[|TYPE]", "remember ENTRIES", "archive NAME JSON", "listImport ANSWER INDEX", "remove KEY",
// "emptyList KEY", "dateFormat PATTERN", "savePanel NAME|none", "openPanel NAME
// append|replace|none", "setPath KEY [NAME]", "mkdir NAME", "alert BUTTON", "clipboard TEXT",
// "continuation JSON|none", "format JSON", "delete NAME", "forget" (the records run), the
// controller's own actions, and the records: "snap LABEL", "report LABEL [@FILE]", "step LABEL",
// "stepForm LABEL", "state LABEL", "lines", "items", "remembered", "seen" (what the list import was
// given), "ran" (the processor's settings), "expect QUERY [ARG] = VALUE".
void ControllerScriptTest::play(const std::string& line) {
  std::size_t space = line.find(' ');
  const std::string verb = line.substr(0, space);
  const std::string raw = space == std::string::npos ? "" : line.substr(space + 1);
  const std::string rest = unescape(raw);
  std::size_t cut = rest.find(' ');
  const std::string first = rest.substr(0, cut);
  const std::string second = cut == std::string::npos ? "" : rest.substr(cut + 1);
  if (verb == "failingRename") {  // before any other step: the output file cannot be put in place
    fileOps = &failingRename;
    return;
  }
  if (verb == "fed") {  // before any other step: each input is converted once, N records at a time
    inputRunsOnce = true;
    recordWindow = std::stoul(rest);
    return;
  }
  Controller& c = controller();
  for (auto [name, action] : kActions)
    if (verb == name) return (c.*action)();
  for (auto [name, action] : kSwitches)
    if (verb == name) return (c.*action)(rest == "on" || rest == "return");
  if (verb == "load" && rest.empty())
    c.actuallyProcessFile(file("in.qif", kRegister));
  else if (verb == "load")
    c.actuallyProcessFile(file(first, second));
  else if (verb == "open")
    c.actuallyProcessFile(path(rest));
  else if (verb == "file")
    file(first, second);
  else if (verb == "copy")
    fs::copy_file(path(first), path(second), fs::copy_options::overwrite_existing);
  else if (verb == "type")
    c.controlTextDidChange(control(first), second);
  else if (verb == "option")
    turnOn(rest);
  else if (verb == "accounts") {
    Value::Array records;
    std::istringstream in(rest);
    for (std::string entry; in >> entry;) {
      std::size_t colon = entry.find(':');
      records.push_back(Value{{"Name", entry.substr(0, colon)}, {"Type", entry.substr(colon + 1)}});
    }
    accounts.setAccountsArray(Value(std::move(records)));
  } else if (verb == "informat" || verb == "delimited") {
    std::size_t bar = rest.find('|'), bar2 = rest.find('|', bar + 1);
    std::string name = rest.substr(0, bar), middle = rest.substr(bar + 1, bar2 - bar - 1);
    if (verb == "informat")
      addInputFormat(name.c_str(), middle.c_str(), rest.substr(bar2 + 1).c_str());
    else
      addDelimitedFormat(name, middle, rest.substr(bar2 + 1) == "account");
  } else if (verb == "remember")
    rememberAll(rest);
  else if (verb == "archive") {  // "archive NAME JSON", the JSON as written (no escapes taken)
    archived = fromJSON(raw.substr(raw.find(' ') + 1)).value();
    ASSERT_TRUE(writeKeyedArchiveFile(path(first), archived).ok());
  } else if (verb == "continuation" && rest == "none") {
    bank.continuation.reset();
  } else if (verb == "continuation") {  // "continuation JSON": the run ends to finish later
    archived = fromJSON(raw).value();
    bank.continuation = archived;
  } else if (verb == "format") {  // "format JSON": an output format as it is stored
    outputFormats.addFormat(fromJSON(raw).value());
  } else if (verb == "outputFormat") {  // "outputFormat NAME[|TYPE]": a comma-separated layout
    Value format = newOutputFormat(rest.substr(0, rest.find('|')));
    if (rest.find('|') != std::string::npos) format.set("Type", rest.substr(rest.find('|') + 1));
    outputFormats.addFormat(format);
  } else if (verb == "listImport") {  // "listImport ANSWER INDEX"
    listImport.answer = std::stoi(first);
    listImport.index = std::stoul(second);
  } else if (verb == "remove")
    store.prefs.removeObjectForKey(rest);
  else if (verb == "emptyList")
    store.prefs.setObject(rest, Value::array());
  else if (verb == "dateFormat")
    c.setDateFormatters(rest);
  else if (verb == "savePanel")
    platform.answerNextSavePanel(rest == "none" ? std::nullopt : std::optional(path(rest)));
  else if (verb == "alert")
    platform.answerNextAlert(std::stoi(rest));
  else if (verb == "clipboard")
    platform.clipboard = rest;
  else if (verb == "warningAnswer")  // "warningAnswer 0|1 [silence]": cancel or go on
    platform.answerNextInputErrorWarning(std::stoi(first), second == "silence");
  else if (verb == "formatWarning") {  // an input format's warning: its answer, how many shown
    const int answer = errorWarning.format(Value{{"Name", "Shop"}}, "Unreadable", "x", "Skip");
    log += "answered " + std::to_string(answer) + ", " +
           std::to_string(platform.inputErrorWarnings.size()) + " shown\n";
  } else if (verb == "openPanel" && rest == "none")
    platform.answerNextOpenPanel(std::nullopt);
  else if (verb == "openPanel")  // "openPanel NAME append|replace"
    platform.answerNextOpenPanel(OpenPanelChoice{path(first), second == "append"});
  else if (verb == "setPath")  // "setPath KEY [NAME]": a path stored under KEY
    store.prefs.setObject(first, path(second));
  else if (verb == "mkdir")
    fs::create_directories(path(rest));
  else if (verb == "clearOpenPanels")
    platform.openPanels.clear();
  else if (verb == "appendPopUp")
    c.selectAppendPopUp(std::stoi(rest));
  else if (verb == "qifType")
    c.selectQIFType(std::stoi(rest));
  else if (verb == "delete")
    fs::remove(path(rest));
  else if (verb == "forget")
    bank.records.reset();
  else if (verb == "fireTimers")
    platform.fireTimers();
  else if (verb == "clearTimers")
    platform.timers.clear();
  else if (verb == "allTransactions")
    c.radioButtonNotDateRange(kAllTransactions);
  else if (verb == "markFocus")
    focusMark = view.focused.size();
  else if (verb == "snap")
    snap(rest);
  else if (verb == "report" && rest.find(" @") != std::string::npos)
    report(rest.substr(0, rest.find(" @")), path(rest.substr(rest.find(" @") + 2)));
  else if (verb == "report")
    report(rest);
  else if (verb == "step" || verb == "stepForm")
    step(rest, verb == "stepForm");
  else if (verb == "state") {
    snap(rest);
    logState();
  } else if (verb == "lines") {
    // The lines a run reads: the text's, the header passed over.
    LineWalk walk(c.state().fileAsString);
    std::size_t at = 0;
    for (std::string_view each; walk.next(each); ++at)
      if (at >= c.state().skippedLines) log += std::string(each) + "|";
    log += "\n";
  } else if (verb == "seen") {
    std::string_view first;
    LineWalk(listImport.seenText).next(first);
    log += listImport.seenSource + " from " + std::string(first) + "\n";
  } else if (verb == "ran") {
    log += "run as " + bank.settings.outputFormatText + " for " + bank.settings.account + "\n";
  } else if (verb == "remembered") {  // the range and format remembered for the next run
    Value settings = store.prefs.objectForKey("ControlSettings");
    Value::Date from = settings["dateFrom"].toDate(), to = settings["dateTo"].toDate();
    log += "remembered " + std::to_string(settings["whichTransactions"].toInt()) + " " +
           (from == distantPastDate() ? "past" : dayOfDate(from).format("%F")) + " " +
           (isDistantFuture(to) ? "future" : dayOfDate(to).format("%F")) + " " +
           str(settings, "outputFormat") + "\n";
  } else if (verb == "items") {
    for (const std::string& account : form().quickenAccountText.items) log += account + "|";
    log += "\n";
  } else if (verb == "expect") {
    std::size_t equals = rest.find(" = ");
    std::string asked = rest.substr(0, equals);
    std::size_t argAt = asked.find(' ');
    std::string arg = argAt == std::string::npos ? "" : asked.substr(argAt + 1);
    std::string answer = query(asked.substr(0, argAt), arg);
    // The test's folder and the data folder are written <dir> and <data>.
    for (auto [from, to] : {std::pair{dir, "<dir>"}, {std::string(CORVELA_TEST_DATA), "<data>"}})
      for (std::size_t at; (at = answer.find(from)) != std::string::npos;)
        answer.replace(at, from.size(), to);
    EXPECT_EQ(answer, rest.substr(equals + 3)) << asked;
  } else
    ADD_FAILURE() << "cannot play: " << line;
}

TEST_P(ControllerScriptTest, PlaysAsWrittenDown) {
  std::ifstream script(kScripts / (GetParam() + ".script"));
  int number = 0;
  for (std::string line; std::getline(script, line);) {
    ++number;
    if (line.empty() || line.starts_with("#")) continue;
    SCOPED_TRACE(GetParam() + ".script:" + std::to_string(number) + ": " + line);
    play(line);
  }
  if (!log.empty()) expectGolden(GetParam(), log);
}

std::vector<std::string> scripts() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(kScripts))
    if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ControllerScriptTest, ::testing::ValuesIn(scripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

}  // namespace
}  // namespace corvela::testing
