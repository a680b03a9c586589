#pragma once

#include <optional>

#include "platform/Platform.h"
#include "prefs/CVPrefs.h"
#include "ui/ControlView.h"
#include "ui/DesktopApp.h"
#include "ui/MainWindow.h"
#include "ui/StatusView.h"
#include "ui/TransactionDialog.h"
#include "ui/UiTestSupport.h"

namespace corvela::ui::testing {

inline QByteArray fileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The desktop program over a preference store of its own, started and on screen. The store
// knows the categories and instructions of tests/data/app/bank.qif, so its run ends without a
// dialog; `prepare` adds to it before the program opens it. Save panels are answered with
// the path given to answerSavePanel, and help pages are recorded instead of opened.
class TestDesktop {
 public:
  explicit TestDesktop(const std::function<void(CVPrefs&)>& prepare = {}) {
    storePath = folder.filePath(QStringLiteral("test.prefs")).toStdString();
    {
      CVPrefs store(storePath);
      store.setObject("Preferences", Value::Array{Value("converted2.2")});
      store.setObject("CheckForUpdates", false);
      store.setObject("Categories", Value::Array{Value("Dining"), Value("Food"), Value("Income")});
      store.setObject("Instructions",
                      Value::Array{Value{{"descriptionMatch", "COFFEE"}, {"category", "Dining"}},
                                   Value{{"descriptionMatch", "GROCER"}, {"category", "Food"}},
                                   Value{{"descriptionMatch", "SALARY"}, {"category", "Income"}}});
      store.setObject("OutputDateFormat", "%m/%d/%Y");
      store.setObject("OutputDateFormatShortYear", "%m/%d/%y");
      if (prepare) prepare(store);
      store.synchronize();
    }
    // Clipboard watching must not pick up what an earlier test left there.
    QApplication::clipboard()->clear();
    desktop = std::make_unique<DesktopApp>(storePath);
    desktop->platform().setSavePanelAnswer(
        [this](const SavePanel& panel) -> std::optional<std::string> {
          savePanels.push_back(panel);
          return savePanelAnswer;
        });
    desktop->platform().setUrlOpener([this](const QUrl& url) {
      opened.push_back(url);
      return true;
    });
    desktop->start();
    // Activation comes later than showing; once it has come, opening an input leaves the
    // program not "just activated", as a person's later files find it.
    active = QTest::qWaitForWindowActive(&window());
    QTest::qWait(20);
  }

  MainWindow& window() { return *desktop->mainWindow(); }
  ControlView& controls() { return *window().controlView(); }
  StatusView& status() { return *window().statusView(); }
  Controller& controller() { return desktop->app().controller; }

  // The control of the control view whose role is `role`.
  template <typename W>
  W* control(const char* role) {
    return controls().findChild<W*>(QLatin1String(role));
  }
  // Whether the control `role` is shown (inside a window that is).
  bool shown(const char* role) {
    QWidget* widget = controls().findChild<QWidget*>(QLatin1String(role));
    return widget && widget->isVisibleTo(&window());
  }

  // Opens a file of tests/data/app, as the desktop opens a document.
  bool open(const char* name) {
    return desktop->openFile(std::string(CORVELA_TEST_DATA) + "/app/" + name);
  }
  // Opens `input` and processes it, the output going to out.qif in the store's folder.
  bool run(const std::string& input) {
    if (!desktop->openFile(input)) return false;
    savePanelAnswer = path("out.qif");
    controls().processButton()->click();
    return true;
  }
  QByteArray output() const { return fileBytes(path("out.qif")); }
  std::string path(const char* name) const {
    return folder.filePath(QLatin1String(name)).toStdString();
  }
  std::string write(const char* name, const QByteArray& bytes) const {
    QFile file(QString::fromStdString(path(name)));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return path(name);
  }

  QTemporaryDir folder;
  std::string storePath;
  std::unique_ptr<DesktopApp> desktop;
  bool active = false;  // the window became the active one after start-up
  std::optional<std::string> savePanelAnswer;
  std::vector<SavePanel> savePanels;
  std::vector<QUrl> opened;
};

inline QByteArray dataFile(const char* name) {
  return fileBytes(std::string(CORVELA_TEST_DATA) + "/app/" + name);
}

}  // namespace corvela::ui::testing
