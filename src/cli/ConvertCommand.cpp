#include "cli/ConvertCommand.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "app/Application.h"
#include "app/Classification.h"
#include "banking/NonInteractiveAnswers.h"
#include "cli/Unattended.h"
#include "formats/OutputFormatKeys.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "text/CaseInsensitive.h"

namespace corvela::cli {

namespace {

constexpr const char* kConvertUsage =
    "usage: corvela-cli convert INPUT [-o OUTPUT] [--prefs FILE] [--output-format NAME]\n"
    "                           [--account NAME] [--from DATE --to DATE | --last-month]\n"
    "                           [--date DATE] [--number TEXT]\n";

struct ConvertOptions {
  std::string input;
  std::string output = "-";
  std::string prefs = CVPrefs::defaultPath();
  std::optional<std::string> outputFormat, account, from, to, date, number;
  bool lastMonth = false;
};

// Reads the arguments; none on a usage error.
std::optional<ConvertOptions> parse(std::vector<std::string> args) {
  ConvertOptions parsed;
  ConvertOptions* options = &parsed;
  bool missing = false;
  auto option = [&](const char* name, std::optional<std::string>* value) {
    std::string text;
    if (takeOption(args, name, &text, &missing)) value->emplace(std::move(text));
  };
  takeOption(args, "-o", &options->output, &missing);
  takeOption(args, "--prefs", &options->prefs, &missing);
  option("--output-format", &options->outputFormat);
  option("--account", &options->account);
  option("--from", &options->from);
  option("--to", &options->to);
  option("--date", &options->date);
  option("--number", &options->number);
  options->lastMonth = takeFlag(args, "--last-month");
  if (missing || args.size() != 1 || args[0].starts_with("-")) return std::nullopt;
  if (options->from.has_value() != options->to.has_value()) return std::nullopt;
  if (options->from && options->lastMonth) return std::nullopt;
  options->input = args[0];
  return parsed;
}

// Enters the command's settings in the control view, as a person would type them.
void enterSettings(Controller& controller, const ConvertOptions& options) {
  if (options.lastMonth) {
    controller.radioButtonNotDateRange(kLastMonth);
  } else if (options.from) {
    controller.radioButtonDateRange();
    controller.controlTextDidChange(MainControl::dateFromString, *options.from);
    controller.controlTextDidChange(MainControl::dateToString, *options.to);
    controller.checkDateRange();
  } else {
    controller.radioButtonNotDateRange(kAllTransactions);
  }
  if (options.outputFormat)
    controller.controlTextDidChange(MainControl::outputFormatText, *options.outputFormat);
  if (options.account)
    controller.controlTextDidChange(MainControl::quickenAccountText, *options.account);
  controller.checkOutputDate(options.date.has_value());
  if (options.date) controller.controlTextDidChange(MainControl::outputDateString, *options.date);
  controller.checkOutputNumber(options.number.has_value());
  if (options.number)
    controller.controlTextDidChange(MainControl::outputNumberString, *options.number);
  // The command names its output file; it never appends to the one remembered from the window.
  if (controller.form().appendSwitch.visible) controller.setAppendSwitch(false);
}

// Why the output format the command was given cannot be used for this input, or none when it
// can: a name that is no format, or one for another kind of account (the window would quietly
// put "QIF" in its place).
std::optional<std::string> unusableOutputFormat(const Application& app,
                                                const ConvertOptions& options) {
  if (!options.outputFormat) return std::nullopt;
  const std::string& name = *options.outputFormat;
  if (equalsIgnoringCase(name, kQIFFormatName)) return std::nullopt;
  if (!app.outputFormats.formatForName(name))
    return "there is no output format named \"" + name + "\"";
  if (!equalsIgnoringCase(app.controller.form().outputFormatText.text, name))
    return "the output format \"" + name + "\" is not for " +
           std::string(kindLabel(app.session.gType)) + " statements";
  return std::nullopt;
}

// Why "Process Transactions" is disabled, in the terms of the command's options.
std::string whyNotReady(const Application& app, const ConvertOptions& options) {
  const Controller& controller = app.controller;
  const MainForm& form = controller.form();
  if (controller.state().doingExtract) {
    Status text = app.notAvailable.text.available();
    std::string why = "it holds neither an OFX download nor a QIF register";
    if (!text.ok()) {
      // The stand-in's sentence, joined to ours.
      std::string sentence = text.message();
      if (!sentence.empty()) sentence[0] = static_cast<char>(std::tolower(sentence[0]));
      if (sentence.ends_with('.')) sentence.pop_back();
      why += ", and " + sentence;
    }
    return why;
  }
  if (form.whichTransactions == kDateRange && !controller.state().dateRangeOK)
    return "the dates " + *options.from + " to " + *options.to +
           " are not a valid range (write them as the output date pattern, the first not later "
           "than the second)";
  if (form.outputFormatPrompt2.visible)
    return "there is no output format named \"" + form.outputFormatText.text + "\"";
  if (!controller.appendAccountKnown() && form.quickenAccountText.items.empty())
    return "the option to append is on and no account of this statement's kind is known";
  if (form.quickenAccountText.visible && form.quickenAccountText.text.empty())
    return "an account is needed (--account NAME): the option to append is on";
  return "the settings are incomplete";
}

// Why the account cannot head the appended output, when the person can name another; none
// when it can.
std::optional<std::string> accountRefusal(const Controller& controller) {
  const ComboBox& account = controller.form().quickenAccountText;
  if (controller.appendAccountKnown() || account.items.empty()) return std::nullopt;
  std::string known;
  for (const std::string& name : account.items) known += (known.empty() ? "" : ", ") + name;
  std::string why = account.text.empty() ? std::string("no account is named")
                                         : "\"" + account.text +
                                               "\" is not a known account of this statement's kind";
  return "the option to append is on and " + why + "; name one with --account (" + known + ")";
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A private folder for the output when it goes to standard output, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvela-cli-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const char* kFinishedTitle = "Finished Processing Transactions";
const char* kNoCategoriesTitle = "No Categories";

}  // namespace

int runConvert(const std::vector<std::string>& args, Io& io) {
  std::optional<ConvertOptions> parsed = parse(args);
  if (!parsed) {
    io.err << kConvertUsage;
    return kUsage;
  }
  const ConvertOptions& options = *parsed;
  if (!std::filesystem::is_regular_file(options.input)) {
    io.err << "corvela-cli: \"" << options.input << "\" is not a file that can be read.\n";
    return kFailure;
  }

  const bool toStandardOutput = options.output == "-";
  ScratchFolder scratch;
  std::string outputPath = toStandardOutput ? scratch.path() + "/output" : options.output;
  if (toStandardOutput && scratch.path().empty()) {
    io.err << "corvela-cli: cannot make a temporary folder for the output.\n";
    return kFailure;
  }

  CVPrefs store = CVPrefs::initWithPath(options.prefs);
  if (!store.movedAsidePath().empty()) {
    io.err << "corvela-cli: the preference store could not be read (" << store.readError()
           << "); it was moved to \"" << store.movedAsidePath() << "\" and a new one started.\n";
  }
  // A run to standard output must not leave its scratch path as the remembered output file.
  const Value rememberedSettings = store.objectForKey("ControlSettings");
  const Value rememberedFolder = store.objectForKey("LastRootDirectory");

  UnattendedPlatform platform(io.err, outputPath);
  UnattendedMainView mainView;
  UnattendedDialogs dialogs;
  Application app(store, Bundle::builtIn(), FrontEnd{platform, mainView, dialogs, dialogs});
  app.startUp();
  Controller& controller = app.controller;
  controller.applicationDidFinishLaunching();

  controller.actuallyProcessFile(options.input);
  // The once-only warning about a missing category list stops the first input; like a person
  // who has read it, open the input again.
  if (!platform.statuses().empty() && platform.statuses().back().title == kNoCategoriesTitle) {
    io.err << kNoCategoriesTitle << ": " << terminalText(platform.statuses().back().text) << "\n";
    platform.forgetStatuses();
    controller.actuallyProcessFile(options.input);
  }

  NonInteractiveTally tally;
  if (platform.statuses().empty()) {
    enterSettings(controller, options);
    if (std::optional<std::string> why = unusableOutputFormat(app, options)) {
      io.err << "corvela-cli: cannot convert \"" << options.input << "\": " << *why << ".\n"
             << kConvertUsage;
      return kUsage;
    }
    if (!controller.form().processTheTransactionsButton.enabled) {
      std::optional<std::string> refusal = accountRefusal(controller);
      io.err << "corvela-cli: cannot convert \"" << options.input
             << "\": " << refusal.value_or(whyNotReady(app, options)) << ".\n";
      return refusal ? kUsage : kFailure;
    }
    controller.processTheTransactions();
    tally = answerWithoutDialogs(app.bank);
  }

  if (toStandardOutput) {
    store.setObject("ControlSettings", rememberedSettings);
    store.setObject("LastRootDirectory", rememberedFolder);
  }
  if (!store.synchronize())
    io.err << "corvela-cli: the preference store was not saved: " << store.writeError() << "\n";

  if (platform.statuses().empty()) {
    io.err << "corvela-cli: the run did not finish.\n";
    return kFailure;
  }
  const UnattendedPlatform::Status& last = platform.statuses().back();
  if (last.title != kFinishedTitle) {
    io.err << last.title << ": " << terminalText(last.text) << "\n";
    return kFailure;
  }
  if (toStandardOutput) {
    // The status names the scratch file; say it in terms of the command instead.
    std::size_t count = app.bank.numberOfTransactionsAppended();
    io.err << last.title << ": " << count << (count == 1 ? " transaction" : " transactions")
           << " output.\n";
    if (!controller.state().reportNote.empty())
      io.err << terminalText(controller.state().reportNote) << "\n";
    if (std::filesystem::exists(outputPath)) io.out << readFile(outputPath);
  } else {
    io.err << last.title << ": " << terminalText(last.text) << "\n";
  }
  io.err << tally.confirmedAsProposed << " confirmed automatically, " << tally.outputAsRead
         << " matched no instruction and were output as read";
  if (platform.skippedTransactions() > 0)
    io.err << ", " << platform.skippedTransactions() << " could not be read and were skipped";
  io.err << ".\n";
  return kSuccess;
}

}  // namespace corvela::cli
