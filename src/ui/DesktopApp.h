#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/LearningWizard.h"
#include "app/OptionsDialog.h"
#include "prefs/CVPrefs.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/QtPlatform.h"

class QAction;
class QMainWindow;

namespace corvela::ui {

class DocumentServer;
class FormatRenameWindows;
class InstructionEditWindow;
class InstructionListWindow;
class InvestmentConfirmWindow;
class MainWindow;
class OutputFormatDefinitionWindows;
class TransactionDialog;

// Everything the desktop program keeps for its whole run, made once by main after the
// QApplication: the preference store, the platform services, the main window and the
// transaction dialog, the program's working objects (Application) wired to them, the options
// window, and the socket through which a second `corvela FILE` hands its file over.
class DesktopApp : public QObject {
  Q_OBJECT

 public:
  // Opens the store at `storePath` (CVPrefs::defaultPath() in the program).
  explicit DesktopApp(const std::string& storePath);
  ~DesktopApp() override;
  DesktopApp(const DesktopApp&) = delete;
  DesktopApp& operator=(const DesktopApp&) = delete;

  // Start-up: tells the person about a store that could not be read, brings the store up to
  // date (asking the first-run question when there is no option list) and shows the window.
  // Then opens `file` as the desktop opens a document, when one is given. A store that cannot
  // be read at all (permissions, an I/O error, not a file) is told and nothing else happens:
  // answers false, and the program quits rather than run without the person's rules.
  bool start(const std::string& file = {});

  // Writes the store now (a signal or the end of the session); a failure goes to stderr.
  void saveStoreQuietly();

  // A file offered by the desktop or by a second `corvela FILE`: opened unless another input
  // is loaded (see Controller::applicationOpenFile); the window comes forward either way.
  // Answers whether it was opened. An empty path only brings the window forward.
  bool openFile(const std::string& path);

  // Hands files of later `corvela FILE` commands to openFile. False when the socket could not
  // be opened (the program works on without it).
  bool listenForDocuments(const QString& name);

  // The program became the active one: clipboard watching.
  void applicationBecameActive();

  CVPrefs& store() { return store_; }
  Application& app() { return *app_; }
  Preferences& options() { return app_->options; }
  QtPlatform& platform() { return platform_; }
  OptionsDialog& optionsDialog() { return *optionsDialog_; }
  OptionsWindow& optionsWindow() { return optionsWindow_; }
  MainWindow* mainWindow() const { return window_.get(); }
  QMainWindow* window() const;
  TransactionDialog* transactionDialog() const { return transactionDialog_.get(); }
  // The instruction editor's windows.
  InstructionListWindow* instructionListWindow() const { return instructionList_.get(); }
  InstructionEditWindow* instructionEditWindow() const { return instructionEdit_.get(); }
  // The investment processor's confirmation window.
  InvestmentConfirmWindow* investmentWindow() const { return investmentWindow_.get(); }
  QAction* preferencesAction() const;
  // Help > About Corvela, made on first use; null before.
  QDialog* aboutWindow() const { return about_; }

  // Edit > Accounts... and the other list and format editors: runs the editor's window modally.
  void runEditor(MainWindow::Editor editor);

  // Help > About Corvela.
  void showAbout();
  // Help > Report a Problem: the mail with the store's counts and the crash reports, handed to
  // the desktop's mail program; an alert when there is none.
  void reportProblem();

 private:
  // The controller's side of the options window: the menus and the output date patterns.
  class OptionsHost : public OptionsDialogHost {
   public:
    explicit OptionsHost(DesktopApp& app) : app_(app) {}
    void disableMenuItems() override;
    void enableMenuItems() override;
    void setDateFormatters(const std::string& monthDayPattern) override;

   private:
    DesktopApp& app_;
  };

  // Writes what the program learnt; a failure is told to the person.
  void saveStore();

  CVPrefs store_;
  QtPlatform platform_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<TransactionDialog> transactionDialog_;
  std::unique_ptr<FormatRenameWindows> renameWindows_;
  std::unique_ptr<OutputFormatDefinitionWindows> definitionWindows_;
  std::unique_ptr<InstructionListWindow> instructionList_;
  std::unique_ptr<InstructionEditWindow> instructionEdit_;
  std::unique_ptr<InvestmentConfirmWindow> investmentWindow_;
  std::unique_ptr<Application> app_;
  // The learning wizard, whose pages the main window shows.
  std::unique_ptr<LearningWizard> learningWizard_;
  OptionsHost host_;
  OptionsWindow optionsWindow_;
  std::unique_ptr<OptionsDialog> optionsDialog_;
  std::unique_ptr<DocumentServer> documents_;
  QPointer<QDialog> about_;
};

}  // namespace corvela::ui
