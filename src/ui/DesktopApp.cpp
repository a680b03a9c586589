#include "ui/DesktopApp.h"

#include <QAction>
#include <QApplication>
#include <QTextStream>

#include "app/About.h"
#include "app/ProblemReport.h"
#include "platform/CrashReports.h"
#include "prefs/Bundle.h"
#include "ui/AboutDialog.h"
#include "ui/DocumentServer.h"
#include "ui/FormatRenameWindow.h"
#include "ui/InstructionEditWindow.h"
#include "ui/InstructionListWindow.h"
#include "ui/InvestmentConfirmWindow.h"
#include "ui/MainWindow.h"
#include "ui/OutputFormatDefinitionWindow.h"
#include "ui/QtText.h"
#include "ui/TableEditorWindow.h"
#include "ui/TransactionDialog.h"
#include "ui/WizardPane.h"

namespace corvela::ui {

DesktopApp::DesktopApp(const std::string& storePath)
    : store_(CVPrefs::initWithPath(storePath)),
      platform_(HelpBook(HelpBook::findFolder())),
      window_(std::make_unique<MainWindow>()),
      transactionDialog_(std::make_unique<TransactionDialog>(window_.get())),
      renameWindows_(std::make_unique<FormatRenameWindows>(window_.get())),
      definitionWindows_(std::make_unique<OutputFormatDefinitionWindows>(window_.get())),
      instructionList_(std::make_unique<InstructionListWindow>(window_.get())),
      // Over the list, or over the transaction dialog when opened from a confirmation.
      instructionEdit_(std::make_unique<InstructionEditWindow>(window_.get())),
      investmentWindow_(std::make_unique<InvestmentConfirmWindow>(window_.get())),
      app_(std::make_unique<Application>(
          store_, Bundle::builtIn(),
          FrontEnd{platform_, window_->view(), *transactionDialog_, *transactionDialog_,
                   renameWindows_.get(), definitionWindows_.get(), instructionList_.get(),
                   instructionEdit_.get(), investmentWindow_.get()})),
      host_(*this) {
  transactionDialog_->attach(app_->bank);
  investmentWindow_->attach(&app_->investment);
  instructionList_->attach(&app_->editInstructions);
  instructionEdit_->attach(&app_->editInstructions);
  connect(window_.get(), &MainWindow::instructionsRequested, this,
          [this] { app_->editInstructions.beginEditing(); });
  window_->attach(app_.get());
  learningWizard_ = std::make_unique<LearningWizard>(
      app_->controller, app_->inputFormatTools, *window_->wizardPane(), platform_, app_->bundle);
  window_->wizardPane()->attach(&learningWizard_->wizard());
  app_->inputFormatTools.setLearn(
      [this](const std::string&, const std::string& cString, const std::string& name) {
        learningWizard_->learnFromString(cString, name);
      });
  platform_.setMainWindow(window_.get());
  platform_.setStatusView(window_->statusView());

  optionsDialog_ =
      std::make_unique<OptionsDialog>(store_, app_->options, optionsWindow_.view(), host_);
  optionsWindow_.setPresenter(optionsDialog_.get());
  connect(&optionsWindow_, &OptionsWindow::helpRequested, this,
          [this] { platform_.openHelpPage("Options"); });
  connect(window_.get(), &MainWindow::preferencesRequested, this,
          [this] { optionsDialog_->display(); });
  connect(window_.get(), &MainWindow::editorRequested, this, &DesktopApp::runEditor);
  app_->editorMenus.setMenusChanged([this] { window_->updateMenus(); });
  connect(window_.get(), &MainWindow::helpBookRequested, this,
          [this] { platform_.openHelpBook(); });
  connect(window_.get(), &MainWindow::aboutRequested, this, &DesktopApp::showAbout);
  connect(window_.get(), &MainWindow::reportProblemRequested, this, &DesktopApp::reportProblem);
  // The end of a run is the moment to keep what it taught (instructions, the dialog's
  // settings), not only the next change of a list.
  connect(window_.get(), &MainWindow::runDismissed, this, &DesktopApp::saveStore);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) applicationBecameActive();
          });
  connect(qApp, &QCoreApplication::aboutToQuit, this, &DesktopApp::saveStoreQuietly);
  // A logout may end the program without aboutToQuit ever coming.
  connect(qApp, &QGuiApplication::commitDataRequest, this, &DesktopApp::saveStoreQuietly);
}

void DesktopApp::runEditor(MainWindow::Editor editor) {
  TableEditorWindows windows(window_.get());
  switch (editor) {
    case MainWindow::Editor::Accounts:
      app_->editAccounts.beginEditing(windows);
      break;
    case MainWindow::Editor::Categories:
      app_->editCategories.beginEditing(windows);
      break;
    case MainWindow::Editor::Descriptions:
      app_->editDescriptions.beginEditing(windows);
      break;
    case MainWindow::Editor::Securities:
      app_->editSecurities.beginEditing(windows);
      break;
    case MainWindow::Editor::InputFormats:
      app_->editFormats.beginEditing(windows);
      break;
    case MainWindow::Editor::OutputFormats:
      app_->editOutputFormats.beginEditing(windows);
      break;
  }
}

void DesktopApp::saveStoreQuietly() {
  if (!store_.openError().empty()) return;
  if (!store_.synchronize()) QTextStream(stderr) << "corvela: " << qs(store_.writeError()) << "\n";
}

DesktopApp::~DesktopApp() {
  documents_.reset();
  // The dialog goes before the processor it reports to: quitting while it shows must not let
  // its fields (a validator, the end of an edit) call a processor that is gone.
  transactionDialog_.reset();
  investmentWindow_.reset();
  instructionEdit_->attach(nullptr);
  instructionList_->attach(nullptr);
  optionsWindow_.setPresenter(nullptr);
  app_->inputFormatTools.setLearn({});
  window_->wizardPane()->attach(nullptr);
  window_->attach(nullptr);
  platform_.setStatusView(nullptr);
  platform_.setMainWindow(nullptr);
}

QMainWindow* DesktopApp::window() const { return window_.get(); }

QAction* DesktopApp::preferencesAction() const { return window_->preferencesAction(); }

bool DesktopApp::start(const std::string& file) {
  if (!store_.openError().empty()) {
    platform_.runAlert({"Preferences Could Not Be Read",
                        store_.openError() +
                            "\r\rCorvela quits without changing it, so that none of your rules "
                            "are lost. Make the file readable, then start Corvela again.",
                        {"Quit"}});
    return false;
  }
  if (!store_.readError().empty()) {
    std::string text = store_.readError();
    if (!store_.movedAsidePath().empty())
      text += "\r\rIt was moved to \"" + store_.movedAsidePath() +
              "\", and Corvela starts with a new store.";
    platform_.runAlert({"Preferences Could Not Be Read", text, {"OK"}});
  }
  app_->startUp();
  window_->show();
  if (!file.empty()) openFile(file);
  app_->controller.applicationDidFinishLaunching();
  return true;
}

bool DesktopApp::openFile(const std::string& path) {
  bool accepted = path.empty() || app_->controller.applicationOpenFile(path);
  window_->show();
  window_->raise();
  window_->activateWindow();
  return accepted;
}

bool DesktopApp::listenForDocuments(const QString& name) {
  documents_ =
      std::make_unique<DocumentServer>([this](const std::string& path) { return openFile(path); });
  return documents_->listen(name);
}

void DesktopApp::applicationBecameActive() { app_->controller.applicationDidBecomeActive(); }

void DesktopApp::showAbout() {
  if (!about_) about_ = new AboutDialog(aboutCorvela(), window_.get());
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void DesktopApp::reportProblem() {
  ProblemReport report =
      composeProblemReport(store_, operatingSystemVersion(), crashReportFolder());
  if (platform_.openMailURL(problemReportURL(report))) return;
  platform_.runAlert({"No Mail Program",
                      "Corvela could not open a mail program for the report.\r\rWrite to " +
                          std::string(kProblemReportAddress) + " instead.",
                      {"OK"}});
}

void DesktopApp::saveStore() {
  if (store_.synchronize()) return;
  platform_.runAlert({"Preferences Could Not Be Saved",
                      store_.writeError() +
                          "\r\rCorvela keeps what it learnt and tries again with the next change.",
                      {"OK"}});
}

void DesktopApp::OptionsHost::disableMenuItems() {
  app_.app_->controller.disableMenuItems();
  app_.window_->updateMenus();
}

void DesktopApp::OptionsHost::enableMenuItems() { app_.app_->controller.enableMenuItems(); }

void DesktopApp::OptionsHost::setDateFormatters(const std::string& monthDayPattern) {
  app_.app_->controller.setDateFormatters(monthDayPattern);
}

}  // namespace corvela::ui
