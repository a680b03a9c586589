#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>

#include "app/Application.h"
#include "ui/ControlView.h"
#include "ui/QtText.h"
#include "ui/StartView.h"
#include "ui/StatusView.h"
#include "ui/WizardPane.h"

namespace corvela::ui {
namespace {

constexpr const char* kIdleTitle = "Corvela";

// The menu titles, as the controller's menu validation knows them.
constexpr const char* kProcessFileTitle = "Process File...";
constexpr const char* kProcessClipboardTitle = "Process Clipboard";
constexpr const char* kHelpTitle = "Corvela Help";

// The first local file among dropped URLs, or empty.
QString droppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

}  // namespace

// The controller's view of the window.
class MainWindow::View : public MainView {
 public:
  explicit View(MainWindow& window) : window_(window) {}

  void show(const MainForm& form) override {
    window_.controlView_->showForm(form);
    window_.updateMenus();
  }
  void showControlView(const std::string& title) override {
    window_.showPage(window_.controlView_, qs(title));
    window_.bringForward();
  }
  // The control or status view on screen; the start page stands for no window at all, as
  // during a run started automatically.
  bool isVisible() const override {
    return window_.isVisible() && window_.currentPage() != window_.startView_;
  }
  // The run is over: back to the start page.
  void hideKeyWindow() override { window_.showPage(window_.startView_, kIdleTitle); }
  void focus(MainControl control) override { window_.controlView_->focusControl(control); }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), view_(std::make_unique<View>(*this)) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QLatin1String(kIdleTitle));
  setAcceptDrops(true);
  resize(660, 500);
  buildMenus();

  pages_ = new QStackedWidget;
  startView_ = new StartView(processFile_, processClipboard_);
  controlView_ = new ControlView;
  statusView_ = new StatusView;
  statusView_->setObjectName(QStringLiteral("statusView"));
  statusView_->doneButton()->setObjectName(QStringLiteral("doneWithFile"));
  wizardPane_ = new WizardPane;
  for (QWidget* page : {static_cast<QWidget*>(startView_), static_cast<QWidget*>(controlView_),
                        static_cast<QWidget*>(statusView_), static_cast<QWidget*>(wizardPane_)})
    pages_->addWidget(page);
  pages_->setCurrentWidget(startView_);
  setCentralWidget(pages_);

  connect(statusView_, &StatusView::shown, this, [this](const QString& title) {
    showPage(statusView_, title);
    bringForward();
  });
  connect(wizardPane_, &WizardPane::shown, this, [this](const QString& title) {
    showPage(wizardPane_, title);
    bringForward();
  });
  connect(statusView_, &StatusView::dismissed, this, [this] {
    if (!app_) {
      showPage(startView_, kIdleTitle);
      return;
    }
    app_->controller.doneWithFile();
    emit runDismissed();
  });
  updateMenus();
}

MainWindow::~MainWindow() = default;

MainView& MainWindow::view() { return *view_; }

void MainWindow::attach(Application* app) {
  app_ = app;
  controlView_->attach(app);
  updateMenus();
}

QWidget* MainWindow::currentPage() const { return pages_->currentWidget(); }

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  processFile_ = file->addAction(tr(kProcessFileTitle), this, [this] {
    if (app_) app_->controller.processFile();
  });
  processFile_->setObjectName(QStringLiteral("processFileMenuItem"));
  processFile_->setShortcut(QKeySequence::Open);
  processClipboard_ = file->addAction(tr(kProcessClipboardTitle), this, [this] {
    if (app_) app_->controller.processClipboard();
  });
  processClipboard_->setObjectName(QStringLiteral("processClipboardMenuItem"));
  processClipboard_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  file->addSeparator();
  importInputFormat_ = file->addAction(tr("Import Input Format..."), this, [this] {
    if (app_) app_->formatTransfer.import();
  });
  importInputFormat_->setObjectName(QStringLiteral("importInputFormatMenuItem"));
  exportInputFormat_ = file->addMenu(tr("Export Input Format"));
  exportInputFormat_->setObjectName(QStringLiteral("exportInputFormatMenu"));
  connect(exportInputFormat_, &QMenu::aboutToShow, this, [this] {
    exportInputFormat_->clear();
    if (!app_) return;
    for (const std::string& name : app_->formats.names())
      exportInputFormat_->addAction(qs(name), this,
                                    [this, name] { app_->formatTransfer.exportFormat(name); });
  });
  file->addSeparator();
  quit_ = file->addAction(tr("&Quit"), qApp, &QApplication::quit);
  quit_->setObjectName(QStringLiteral("quitMenuItem"));
  quit_->setShortcut(QKeySequence::Quit);
  quit_->setMenuRole(QAction::QuitRole);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  struct EditorItem {
    Editor editor;
    const char* title;
    const char* name;
  };
  for (const EditorItem& item :
       {EditorItem{Editor::Accounts, "&Accounts...", "editAccountsMenuItem"},
        EditorItem{Editor::Categories, "&Categories...", "editCategoriesMenuItem"},
        EditorItem{Editor::Descriptions, "&Descriptions...", "editDescriptionsMenuItem"},
        EditorItem{Editor::Securities, "&Securities...", "editSecuritiesMenuItem"},
        EditorItem{Editor::InputFormats, "&Input Formats...", "editFormatsMenuItem"},
        EditorItem{Editor::OutputFormats, "&Output Formats...", "editOutputFormatsMenuItem"}}) {
    QAction* action = edit->addAction(
        tr(item.title), this, [this, editor = item.editor] { emit editorRequested(editor); });
    action->setObjectName(QLatin1String(item.name));
    editors_[static_cast<std::size_t>(item.editor)] = action;
  }
  edit->addSeparator();
  preferences_ = edit->addAction(tr("&Preferences..."), this, &MainWindow::preferencesRequested);
  preferences_->setObjectName(QStringLiteral("preferencesMenuItem"));
  preferences_->setShortcut(QKeySequence::Preferences);
  preferences_->setMenuRole(QAction::PreferencesRole);
  instructions_ = edit->addAction(tr("&Instructions..."), this, &MainWindow::instructionsRequested);
  instructions_->setObjectName(QStringLiteral("instructionsMenuItem"));

  // Why the greyed Preferences item is greyed, where the person looks for it.
  edit->setToolTipsVisible(true);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help_ = help->addAction(tr(kHelpTitle), this, &MainWindow::helpBookRequested);
  help_->setObjectName(QStringLiteral("helpMenuItem"));
  help_->setShortcut(QKeySequence::HelpContents);
  reportProblem_ =
      help->addAction(tr("Report a Problem..."), this, &MainWindow::reportProblemRequested);
  reportProblem_->setObjectName(QStringLiteral("reportProblemMenuItem"));
  help->addSeparator();
  about_ = help->addAction(tr("About Corvela"), this, &MainWindow::aboutRequested);
  about_->setObjectName(QStringLiteral("aboutMenuItem"));
  about_->setMenuRole(QAction::AboutRole);

  // The controller's state can change between two drawings of the form; ask again on opening.
  for (QMenu* menu : {file, edit, help})
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateMenus);
}

void MainWindow::updateMenus() {
  if (!app_) {
    for (QAction* action :
         {processFile_, processClipboard_, importInputFormat_, preferences_, instructions_, help_})
      action->setEnabled(false);
    for (QAction* action : editors_) action->setEnabled(false);
    exportInputFormat_->setEnabled(false);
    return;
  }
  const Controller& controller = app_->controller;
  const MainForm& form = controller.form();
  auto valid = [&](const char* title) { return controller.validateMenuItem({title, false}); };
  processFile_->setEnabled(valid(kProcessFileTitle));
  // Formats change only between runs, as opening a file does.
  importInputFormat_->setEnabled(processFile_->isEnabled());
  // The instructions are edited between runs; during one, from the confirmation dialog.
  instructions_->setEnabled(processFile_->isEnabled());
  exportInputFormat_->setEnabled(processFile_->isEnabled() && app_->formats.numberOfFormats() > 0);
  processClipboard_->setEnabled(form.menuItemEnabled(MenuItem::processClipboardMenuItem) &&
                                valid(kProcessClipboardTitle));
  const bool preferences = form.menuItemEnabled(MenuItem::preferencesMenuItem);
  preferences_->setEnabled(preferences);
  preferences_->setToolTip(preferences ? QString()
                                       : tr("The preferences cannot change while a statement is "
                                            "loaded or the preferences are open. Finish or "
                                            "cancel it first."));
  help_->setEnabled(valid(kHelpTitle));
  // The editors change what a run reads; none opens while a run or another editor is open.
  constexpr std::array<MenuItem, 6> kEditorItems = {
      MenuItem::editAccountsMenuItem,     MenuItem::editCategoriesMenuItem,
      MenuItem::editDescriptionsMenuItem, MenuItem::editSecuritiesMenuItem,
      MenuItem::editFormatsMenuItem,      MenuItem::editOutputFormatsMenuItem};
  for (std::size_t i = 0; i < editors_.size(); ++i)
    editors_[i]->setEnabled(form.menuItemEnabled(kEditorItems[i]) && valid("Edit"));
}

void MainWindow::showPage(QWidget* page, const QString& title) {
  pages_->setCurrentWidget(page);
  setWindowTitle(title);
}

void MainWindow::bringForward() {
  show();
  raise();
  activateWindow();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  QString path = droppedFile(event->mimeData());
  if (path.isEmpty() || !app_) return;
  event->acceptProposedAction();
  // Opened as the desktop opens a document; refused while another input is loaded.
  if (!app_->controller.applicationOpenFile(utf8(path))) QApplication::beep();
}

}  // namespace corvela::ui
