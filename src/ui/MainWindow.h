#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/MainView.h"

class QAction;
class QMenu;
class QStackedWidget;

namespace corvela {
class Application;
}

namespace corvela::ui {

class ControlView;
class StartView;
class StatusView;
class WizardPane;

// The program's main window ("Corvela Control" while an input is loaded): the control view of
// the input at hand, the status view with the report of a run or a refusal, and a start page
// while nothing is loaded; the menus File, Edit and Help (the help book, About, reporting a
// problem). It is the controller's MainView: it
// draws the controller's form, enables the menu items as the controller says, and hands the
// person's actions (menus, buttons, dropped files) to the controller.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The list and format editors of the Edit menu.
  enum class Editor { Accounts, Categories, Descriptions, Securities, InputFormats, OutputFormats };

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // The view the controller draws on.
  MainView& view();
  // The program whose controller the actions go to. Borrowed: it must outlive the window, or
  // be detached with nullptr first.
  void attach(Application* app);

  // Enables the menu items as the controller's form and its menu validation say. The form is
  // redrawn after each change the controller makes; this is for changes it makes without one
  // (the options window disabling the menus).
  void updateMenus();

  ControlView* controlView() const { return controlView_; }
  StatusView* statusView() const { return statusView_; }
  StartView* startView() const { return startView_; }
  // The learning wizard's pages, swapped in while a format is learnt.
  WizardPane* wizardPane() const { return wizardPane_; }
  // The page shown now: the start page, the control view, the status view or the wizard.
  QWidget* currentPage() const;

  QAction* processFileAction() const { return processFile_; }
  QAction* processClipboardAction() const { return processClipboard_; }
  QAction* preferencesAction() const { return preferences_; }
  QAction* instructionsAction() const { return instructions_; }
  QAction* editorAction(Editor editor) const { return editors_[static_cast<std::size_t>(editor)]; }
  QAction* helpAction() const { return help_; }
  QAction* aboutAction() const { return about_; }
  QAction* reportProblemAction() const { return reportProblem_; }
  QAction* quitAction() const { return quit_; }
  QAction* importInputFormatAction() const { return importInputFormat_; }
  // One item per stored input format, rebuilt each time the submenu opens.
  QMenu* exportInputFormatMenu() const { return exportInputFormat_; }

 signals:
  // Menu "Preferences...".
  void preferencesRequested();
  // Menu "Instructions...": the instruction editor's list.
  void instructionsRequested();
  // Menus "Accounts...", "Categories...", "Descriptions...", "Securities...", "Input
  // Formats..." and "Output Formats...".
  void editorRequested(corvela::ui::MainWindow::Editor editor);
  // Menus "Corvela Help", "About Corvela" and "Report a Problem...".
  void helpBookRequested();
  void aboutRequested();
  void reportProblemRequested();
  // The person dismissed the status view; the controller has ended the run.
  void runDismissed();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class View;
  friend class View;

  void buildMenus();
  void showPage(QWidget* page, const QString& title);
  void bringForward();

  std::unique_ptr<View> view_;
  Application* app_ = nullptr;
  QStackedWidget* pages_;
  StartView* startView_;
  ControlView* controlView_;
  StatusView* statusView_;
  WizardPane* wizardPane_;
  QAction* processFile_;
  QAction* processClipboard_;
  QAction* importInputFormat_;
  QMenu* exportInputFormat_;
  QAction* quit_;
  QAction* preferences_;
  QAction* instructions_;
  std::array<QAction*, 6> editors_{};
  QAction* help_;
  QAction* about_;
  QAction* reportProblem_;
};

}  // namespace corvela::ui
