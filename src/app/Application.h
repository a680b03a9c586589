#pragma once

#include "app/BankingRun.h"
#include "app/Controller.h"
#include "app/FormattedTextRun.h"
#include "app/InputFormatToolsPort.h"
#include "app/InvestmentProcessorRun.h"
#include "app/ListEditing.h"
#include "app/ListImportPort.h"
#include "app/NotAvailableYet.h"
#include "app/OutputFormatDefinitionPort.h"
#include "app/Session.h"
#include "banking/BankingCreditCardQIF.h"
#include "editors/EditInstructions.h"
#include "editors/OutputFormatDefinitionDialog.h"
#include "formats/ErrorWarning.h"
#include "formats/OutputFormats.h"
#include "inputformats/FormatRename.h"
#include "inputformats/FormatTransfer.h"
#include "inputformats/Formats.h"
#include "instructions/Instructions.h"
#include "investment/InvestmentQIF.h"
#include "investment/InvestmentViews.h"
#include "lists/Accounts.h"
#include "lists/Categories.h"
#include "lists/Descriptions.h"
#include "lists/ImportQuickenExport.h"
#include "lists/Securities.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/CancelConfirm.h"
#include "prefs/Preferences.h"
#include "readers/OFXReader.h"
#include "readers/QIFReader.h"

namespace corvela {

// The windows and services a front end supplies: the desktop program with Qt, the command line
// with window-less stand-ins, the tests with scripted fakes. All are borrowed.
struct FrontEnd {
  Platform& platform;
  MainView& mainView;
  ConfirmView& confirmView;
  NewInstructionView& newInstructionView;
  // The rename window of an imported input format; none: every import is cancelled (a front
  // end without windows imports formats its own way).
  FormatRenameView* formatRenameView = nullptr;
  // The output format definition dialog; none: every definition is cancelled.
  OutputFormatDefinitionView* outputFormatDefinitionView = nullptr;
  // The instruction editor's windows; without them (a front end without windows) the editor
  // draws nowhere and the confirmation dialog does not offer it.
  InstructionListView* instructionListView = nullptr;
  InstructionEditView* instructionEditView = nullptr;
  // The investment confirmation window; none: investment statements are refused as not
  // available yet (a front end without it cannot show what an investment run asks).
  InvestmentConfirmView* investmentView = nullptr;
  // Each input is converted once (the command line): see ControllerParts::inputRunsOnce.
  bool inputRunsOnce = false;
  // Where the output goes instead of a file: see ControllerParts::takeOutput.
  std::function<Status(std::string_view output)> takeOutput = nullptr;
};

// Every working object of the program, created once and wired together: the one place that
// knows how the parts fit, shared by both front ends so they run exactly the same program.
// The preference store is borrowed (main opens it first, before anything reads it).
class Application {
 public:
  Application(CVPrefs& store, const Bundle& bundle, FrontEnd frontEnd);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Brings the store up to date before the first input, asking the first-run and update
  // questions when the store has no answer yet (see StartUp.h).
  void startUp();

  CVPrefs& store;
  const Bundle& bundle;
  Platform& platform;
  Preferences options{store};
  Accounts accounts{store};
  Categories categories{store, platform};
  Descriptions descriptions{store};
  Securities securities{store};
  Instructions instructions{store, options};
  OutputFormats outputFormats{store, options, categories, bundle};
  QIFReader qifReader{store, options, bundle};
  OFXReader ofxReader{store, options};
  Session session;
  OutputFormatDefinitionDialog outputFormatDialog;
  OutputFormatDefinitionPort outputFormatDefinition{outputFormatDialog, session};
  CancelConfirm cancelConfirm{options, platform};
  NotAvailableYet notAvailable;
  DateTables dateTables = bundle.dateTables();
  Formats formats{store};
  FormatTransfer formatTransfer;
  InputFormatToolsPort inputFormatTools{formats, formatTransfer, platform};
  ErrorWarning errorWarning;
  FormattedTextReader textReader{store, dateTables, errorWarning};
  FormattedTextRun textRun{textReader};
  BankingCreditCardQIF bank;
  BankingRun bankRun{bank};
  ImportQuickenExport listImport{store, platform};
  ListImportPort listImportPort{listImport};
  InvestmentQIF investment;
  InvestmentProcessorRun investmentRun{investment};
  Controller controller;
  // The list and format editors (the Edit menu).
  ControllerMenus editorMenus{controller};
  EditAccounts editAccounts{accounts, categories, editorMenus};
  EditCategories editCategories{categories, editorMenus};
  EditDescriptions editDescriptions{descriptions, editorMenus};
  EditSecurities editSecurities{securities, editorMenus};
  EditFormats editFormats{formats, bundle, platform, editorMenus};
  EditOutputFormats editOutputFormats{outputFormats, editorMenus,
                                      outputFormatDefiner(outputFormatDefinition, platform)};

 private:
  struct NoRenameWindow : FormatRenameView {
    bool runRenameWindow(FormatRename&) override { return false; }
  };
  struct NoInstructionWindows : InstructionListView, InstructionEditView {
    void showList(const InstructionListForm&) override {}
    void updateList(const InstructionListForm&) override {}
    void closeList() override {}
    void showEditor(const InstructionEditForm&) override {}
    void updateEditor(const InstructionEditForm&) override {}
    void endEditing() override {}
    void closeEditor() override {}
  };
  NoRenameWindow noRenameWindow_;
  struct NoDefinitionWindow : OutputFormatDefinitionView {
    bool runDefinitionDialog(OutputFormatDefinitionDialog&) override { return false; }
  };
  NoDefinitionWindow noDefinitionWindow_;
  NoInstructionWindows noInstructionWindows_;
  // Stands in for a missing investment window; never shown (the port is not available then).
  SilentInvestmentWindow noInvestmentWindow_;

 public:
  EditInstructions editInstructions;
};

}  // namespace corvela
