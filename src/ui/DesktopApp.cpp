#include "ui/DesktopApp.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include "ui/QtText.h"

namespace corvela::ui {

DesktopApp::DesktopApp(const std::string& storePath)
    : store_(CVPrefs::initWithPath(storePath)),
      options_(store_),
      platform_(HelpBook(HelpBook::findFolder())),
      categories_(store_, platform_),
      host_(*this),
      optionsDialog_(store_, options_, optionsWindow_.view(), host_) {
  optionsWindow_.setPresenter(&optionsDialog_);
  QObject::connect(&optionsWindow_, &OptionsWindow::helpRequested,
                   [this] { platform_.openHelpPage("Options"); });
  buildWindow();
  platform_.setMainWindow(window_.get());
}

DesktopApp::~DesktopApp() {
  optionsWindow_.setPresenter(nullptr);
  platform_.setMainWindow(nullptr);
}

void DesktopApp::buildWindow() {
  window_ = std::make_unique<QMainWindow>();
  window_->setWindowTitle(QStringLiteral("Corvela"));
  auto* placeholder =
      new QLabel(QObject::tr("Corvela converts your bank, card and brokerage "
                             "statements to QIF."));
  placeholder->setAlignment(Qt::AlignCenter);
  placeholder->setMargin(40);
  window_->setCentralWidget(placeholder);

  QMenu* corvelaMenu = window_->menuBar()->addMenu(QObject::tr("&Corvela"));
  preferencesAction_ =
      corvelaMenu->addAction(QObject::tr("&Preferences..."), [this] { optionsDialog_.display(); });
  preferencesAction_->setMenuRole(QAction::PreferencesRole);
  preferencesAction_->setShortcut(QKeySequence::Preferences);
  corvelaMenu->addSeparator();
  QAction* quit = corvelaMenu->addAction(QObject::tr("&Quit"), qApp, &QApplication::quit);
  quit->setShortcut(QKeySequence::Quit);

  QMenu* help = window_->menuBar()->addMenu(QObject::tr("&Help"));
  help->addAction(QObject::tr("Corvela Help"), [this] { platform_.openHelpBook(); })
      ->setShortcut(QKeySequence::HelpContents);
}

void DesktopApp::start() {
  if (!store_.readError().empty())
    platform_.runAlert({"Preferences Could Not Be Read", store_.readError(), {"OK"}});
  options_.normalizeOptionList(platform_, categories_);
  options_.writeOutputDefaults();
  window_->show();
}

void DesktopApp::OptionsHost::disableMenuItems() { app_.preferencesAction_->setEnabled(false); }

void DesktopApp::OptionsHost::enableMenuItems() { app_.preferencesAction_->setEnabled(true); }

void DesktopApp::OptionsHost::setDateFormatters(const std::string& monthDayPattern) {
  storeOutputDateFormats(app_.store_, monthDayPattern);
}

}  // namespace corvela::ui
