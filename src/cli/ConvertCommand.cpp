#include "cli/ConvertCommand.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/Application.h"
#include "app/Classification.h"
#include "app/ControlSettings.h"
#include "app/OutputFile.h"
#include "banking/NonInteractiveAnswers.h"
#include "cli/Unattended.h"
#include "formats/OutputFormatKeys.h"
#include "investment/InvestmentNonInteractive.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "text/CaseInsensitive.h"

namespace corvela::cli {

namespace {

// Enters the command's settings in the control view, as a person would type them.
void enterSettings(Controller& controller, const ConvertOptions& options) {
  // First, as the format decides the statement's kind, which the other fields depend on.
  if (options.inputFormat)
    controller.controlTextDidChange(MainControl::inputFormatText, *options.inputFormat);
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

// Why the input format the command was given cannot be used for this input, or none when it
// can (or none was given).
std::optional<std::string> unusableInputFormat(const Application& app,
                                               const ConvertOptions& options) {
  if (!options.inputFormat) return std::nullopt;
  if (!app.controller.state().doingExtract)
    return "--format is for text statements, and this is an OFX download or a QIF register";
  if (!app.formats.formatForName(*options.inputFormat))
    return "there is no input format named \"" + *options.inputFormat + "\"";
  return std::nullopt;
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
  if (controller.state().doingExtract && !app.formats.formatForName(form.inputFormatText.text)) {
    std::vector<std::string> names = app.formats.names();
    std::string why =
        "it is a text statement, and no stored input format has a Match text that occurs in it";
    if (names.empty()) return why + "; no input format is stored (see corvela-cli formats)";
    std::string known;
    for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
    return why + "; name one with --format NAME (" + known + ")";
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

// Why a date option or the store's output date pattern cannot be used, or "". Dates are typed
// as in the main window: written with the store's OutputDateFormat, or "today" and the like.
std::string dateProblem(const CVPrefs& store, const ConvertOptions& options) {
  const std::string pattern = outputDatePattern(store);
  const std::string shortYear = outputDateShortYearPattern(store);
  const CalendarDay today = CalendarDay::today();
  std::string written = today.format(pattern);
  if (!parseDialogDate(written, pattern, shortYear))
    return "the output date pattern \"" + pattern +
           "\" (OutputDateFormat) writes no date that "
           "can be read back (today comes out as \"" +
           written +
           "\"); set a pattern such as "
           "%m/%d/%Y in Preferences";
  auto check = [&](const char* option, const std::optional<std::string>& text) -> std::string {
    if (!text || dialogDateText(*text, pattern, shortYear, today)) return "";
    return std::string(option) + " \"" + *text + "\" is no date written as " + pattern +
           " (for example " + written + ")";
  };
  for (auto [option, text] : {std::pair{"--date", &options.date},
                              std::pair{"--from", &options.from}, std::pair{"--to", &options.to}}) {
    if (std::string problem = check(option, *text); !problem.empty()) return problem;
  }
  if (options.from) {
    auto from = parseDialogDate(*dialogDateText(*options.from, pattern, shortYear, today), pattern,
                                shortYear);
    auto to = parseDialogDate(*dialogDateText(*options.to, pattern, shortYear, today), pattern,
                              shortYear);
    if (from && to && *to < *from)
      return "the range " + *options.from + " to " + *options.to + " ends before it begins";
  }
  return "";
}

void printTally(Io& io, const NonInteractiveTally& tally, const UnattendedPlatform& platform) {
  io.err << tally.confirmedAsProposed << " confirmed automatically, " << tally.outputAsRead
         << " matched no instruction and were output as read";
  if (platform.skippedTransactions() > 0)
    io.err << ", " << platform.skippedTransactions() << " could not be read and were skipped";
  io.err << ".\n";
}

// What a run builds over the store: the store itself, the views without windows and the
// program's working objects, kept together so that a finished run can leave them to the end of
// the process (Io::leftForExit) instead of freeing them.
struct Session {
  Session(const std::string& prefsPath, std::ostream& err, std::string outputPath)
      : store(CVPrefs::initWithPath(prefsPath)), platform(err, std::move(outputPath)) {}

  CVPrefs store;
  UnattendedPlatform platform;
  UnattendedMainView mainView;
  UnattendedDialogs dialogs;
  UnattendedInvestmentWindow investmentWindow;
  std::unique_ptr<Application> app;  // made once the store is known to be usable
};

const char* kFinishedTitle = "Finished Processing Transactions";
const char* kNoCategoriesTitle = "No Categories";

}  // namespace

ConvertCommand::ConvertCommand(CLI::App& parent, HelpFormatter& help) : help_(help) {
  options_.prefs = CVPrefs::defaultPath();
  convert_ = addSubcommand(
      parent, help, "convert",
      "convert a statement (OFX, QFX, QIF, or CSV and text read with a stored input\n"
      "format: the one whose Match text it holds, or --format NAME) with your\n"
      "stored instructions; the output goes to OUTPUT (standard output when it is -\n"
      "or not given)",
      {"convert INPUT [-o OUTPUT] [--prefs FILE] [--format NAME] [--output-format NAME]\n"
       "[--account NAME] [--from DATE --to DATE | --last-month]\n"
       "[--date DATE] [--number TEXT]"});
  // Arguments the parser does not know are kept, so that usageProblem() can name them.
  convert_->allow_extras();
  convert_->add_option("INPUT", options_.input, "the statement to convert");
  convert_->add_option("-o", options_.output, "where the output goes (- for standard output)")
      ->type_name("OUTPUT");
  convert_->add_option("--prefs", options_.prefs, "the preference store to use")->type_name("FILE");
  auto text = [&](const char* name, std::optional<std::string>* value, const char* what,
                  const char* type) {
    convert_
        ->add_option_function<std::string>(
            name, [value](const std::string& given) { *value = given; }, what)
        ->type_name(type);
  };
  text("--format", &options_.inputFormat,
       "the input format of a text statement (else the one whose Match text it holds)", "NAME");
  text("--output-format", &options_.outputFormat, "the output format (QIF when not given)", "NAME");
  text("--account", &options_.account, "the account that heads appended output", "NAME");
  text("--from", &options_.from, "the first date of the range to convert", "DATE");
  text("--to", &options_.to, "the last date of the range to convert", "DATE");
  text("--date", &options_.date, "the date to give every transaction", "DATE");
  text("--number", &options_.number, "the number to give every transaction", "TEXT");
  convert_->add_flag("--last-month", options_.lastMonth, "convert last month's transactions");
}

std::string ConvertCommand::usageProblem() const {
  for (const std::string& arg : convert_->remaining()) {
    if (arg.starts_with("-") && arg != "-") return "unknown option " + arg;
  }
  if (options_.input.empty()) return "no input file was named";
  if (!convert_->remaining().empty()) return "only one input file can be converted";
  if (options_.from.has_value() != options_.to.has_value()) return "--from and --to go together";
  if (options_.from && options_.lastMonth)
    return "--last-month cannot be combined with --from and --to";
  return "";
}

int ConvertCommand::run(Io& io) {
  const ConvertOptions& options = options_;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(options.input, ec)) {
    io.err << "corvela-cli: \"" << options.input << "\" is not a file that can be read.\n";
    return kFailure;
  }

  const bool toStandardOutput = options.output == "-";
  if (!toStandardOutput) {
    // Refused before the run, so that a mistyped -o changes nothing at all, the store included.
    const ProtectedFile inputs[] = {
        {options.input, extensionOf(options.input) == "crvc" ? "the continuation file being resumed"
                                                             : "the input"},
        {options.prefs, "the preference store"}};
    if (Status allowed = checkOutputPath(options.output, inputs); !allowed.ok()) {
      io.err << "corvela-cli: " << allowed.message() << " Nothing was converted.\n";
      return kFailure;
    }
  }
  // Standard output takes the output as it is, with no file between: "-" is only its name.
  auto session = std::make_shared<Session>(options.prefs, io.err, options.output);
  CVPrefs& store = session->store;
  if (!store.openError().empty()) {
    io.err << "corvela-cli: the preference store cannot be used: " << store.openError()
           << " Nothing was converted; the file was left as it is.\n";
    return kFailure;
  }
  if (!store.movedAsidePath().empty()) {
    io.err << "corvela-cli: the preference store could not be read (" << store.readError()
           << "); it was moved to \"" << store.movedAsidePath() << "\" and a new one started.\n";
  }
  // Every step that would save the store marks it instead; it is written once, at the end.
  store.setWritesDeferred(true);
  if (std::string problem = dateProblem(store, options); !problem.empty()) {
    io.err << "corvela-cli: convert: " << problem << ".\n";
    return kUsage;
  }
  // A run to standard output must not leave "-" as the remembered output file.
  const Value rememberedSettings = store.objectForKey("ControlSettings");
  const Value rememberedFolder = store.objectForKey("LastRootDirectory");

  UnattendedPlatform& platform = session->platform;
  // Why the output could not be written to standard output, once it was tried. (The run ends
  // before this function returns: nothing calls the writer afterwards.)
  std::string standardOutputError;
  auto writeToStandardOutput = [&io, &standardOutputError](std::string_view output) {
    errno = 0;
    io.out.write(output.data(), static_cast<std::streamsize>(output.size()));
    io.out.flush();
    if (io.out) return Status::OK();
    const int error = errno;
    standardOutputError = "the output could not be written to standard output: " +
                          std::string(error ? std::strerror(error) : "write error") + ".";
    return Status::Error(standardOutputError);
  };
  session->app = std::make_unique<Application>(
      store, Bundle::builtIn(),
      FrontEnd{.platform = platform,
               .mainView = session->mainView,
               .confirmView = session->dialogs,
               .newInstructionView = session->dialogs,
               .investmentView = &session->investmentWindow,
               .inputRunsOnce = true,
               .takeOutput = toStandardOutput ? std::function(writeToStandardOutput) : nullptr});
  Application& app = *session->app;
  app.investment.setOutputCashAsRead(true);
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
    if (std::optional<std::string> why = unusableInputFormat(app, options)) {
      io.err << "corvela-cli: cannot convert \"" << options.input << "\": " << *why << ".\n"
             << help_.usage(convert_);
      return kUsage;
    }
    enterSettings(controller, options);
    if (std::optional<std::string> why = unusableOutputFormat(app, options)) {
      io.err << "corvela-cli: cannot convert \"" << options.input << "\": " << *why << ".\n"
             << help_.usage(convert_);
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
    answerInvestmentWithoutDialogs(app.investment,
                                   [&io](const std::string& line) { io.err << line << "\n"; });
  }

  if (toStandardOutput) {
    store.setObject("ControlSettings", rememberedSettings);
    store.setObject("LastRootDirectory", rememberedFolder);
  }
  // What the run learnt that cannot be kept makes it a failed run, even with its output written.
  const bool storeSaved = store.synchronizeNow();
  if (!storeSaved)
    io.err << "corvela-cli: the preference store was not saved: " << store.writeError() << "\n";
  // From here on the store and the output file are written and closed: what the run built is
  // only memory, which the process may leave to its end.
  auto done = [&io, &session](int status) {
    if (io.leftForExit) io.leftForExit->push_back(std::move(session));
    return status;
  };

  if (!standardOutputError.empty()) {
    io.err << "corvela-cli: " << standardOutputError << "\n";
    return done(kFailure);
  }
  if (platform.statuses().empty()) {
    io.err << "corvela-cli: the run did not finish.\n";
    return done(kFailure);
  }
  const UnattendedPlatform::Status& last = platform.statuses().back();
  if (last.title != kFinishedTitle) {
    io.err << last.title << ": " << terminalText(last.text) << "\n";
    return done(kFailure);
  }
  std::size_t count = app.bank.numberOfTransactionsAppended() +
                      static_cast<std::size_t>(app.investment.numberOfTransactionsAppended());
  if (count == 0) {
    io.err << last.title << ": no transactions output";
    if (!toStandardOutput) io.err << "; \"" << options.output << "\" was not written";
    io.err << ".\n";
    printTally(io, tally, platform);
    return done(kNothingOutput);
  }
  // The report's count and where the output went (a file's path; never "-" of standard output);
  // the tally below says what became of the rest in the command's own terms.
  io.err << last.title << ": " << count << (count == 1 ? " transaction" : " transactions")
         << " output";
  if (!toStandardOutput) io.err << " to file \"" << controller.state().outputFilePath << "\"";
  io.err << ".\n";
  if (!controller.state().reportNote.empty())
    io.err << terminalText(controller.state().reportNote) << "\n";
  printTally(io, tally, platform);
  return done(storeSaved ? kSuccess : kFailure);
}

}  // namespace corvela::cli
