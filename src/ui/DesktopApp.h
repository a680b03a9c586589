#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "lists/Categories.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionsDialog.h"
#include "prefs/Preferences.h"
#include "ui/OptionsWindow.h"
#include "ui/QtPlatform.h"

class QAction;
class QMainWindow;

namespace corvela::ui {

// Everything the desktop program keeps for its whole run, made once by main after the
// QApplication: the preference store, the option list, the platform services, the options
// dialog, and the window with the program's menus.
class DesktopApp {
 public:
  // Opens the store at `storePath` (CVPrefs::defaultPath() in the program).
  explicit DesktopApp(const std::string& storePath);
  ~DesktopApp();
  DesktopApp(const DesktopApp&) = delete;
  DesktopApp& operator=(const DesktopApp&) = delete;

  // Start-up: tells the person about a store that could not be read, brings the option list
  // up to date (asking the first-run question when there is none) and shows the window.
  void start();

  CVPrefs& store() { return store_; }
  Preferences& options() { return options_; }
  QtPlatform& platform() { return platform_; }
  OptionsDialog& optionsDialog() { return optionsDialog_; }
  OptionsWindow& optionsWindow() { return optionsWindow_; }
  QMainWindow* window() const { return window_.get(); }
  QAction* preferencesAction() const { return preferencesAction_; }

 private:
  // The controller's part for the options dialog until the main window's controller takes it
  // over: the Preferences menu item, and the store's output date patterns.
  class OptionsHost : public OptionsDialogHost {
   public:
    explicit OptionsHost(DesktopApp& app) : app_(app) {}
    void disableMenuItems() override;
    void enableMenuItems() override;
    void setDateFormatters(const std::string& monthDayPattern) override;

   private:
    DesktopApp& app_;
  };

  void buildWindow();

  CVPrefs store_;
  Preferences options_;
  QtPlatform platform_;
  Categories categories_;
  OptionsHost host_;
  OptionsWindow optionsWindow_;
  OptionsDialog optionsDialog_;
  std::unique_ptr<QMainWindow> window_;
  QAction* preferencesAction_ = nullptr;
};

}  // namespace corvela::ui
