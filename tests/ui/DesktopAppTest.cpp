// The program's wiring: start-up, a file given at start, the Preferences menu item and the
// options window; a second `corvela FILE` handing its file over; what the person is told about
// the program itself: a damaged store once, at start, with where it went; the help book names
// only menus that exist; Report a Problem composes its mail from the store the program runs
// with; About names the version and the libraries. Every control of every window can be named
// by a screen reader, and every window reads in a dark palette.
#include <signal.h>

#include <atomic>
#include <thread>

#include "prefs/Preferences.h"
#include "ui/DarkPalette.h"
#include "ui/DocumentServer.h"
#include "ui/NewInstructionPane.h"
#include "ui/OptionsWindow.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

struct Command {
  int exitCode = -1;
  QString errors;
};

// The environment the program is run in: off screen, over the store at `storePath`.
QProcessEnvironment programEnvironment(const std::string& storePath) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("CORVELA_PREFS"), QString::fromStdString(storePath));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

// Runs `corvela FILE` over `storePath` while this program's event loop answers it.
Command runCorvela(const std::string& storePath, const QString& file) {
  QProcess process;
  process.setProcessEnvironment(programEnvironment(storePath));
  process.start(QStringLiteral(CORVELA_DESKTOP_PROGRAM), {file});
  if (!process.waitForStarted(10000)) return {};
  // Not waitForFinished: the running program in this process must be free to answer.
  QElapsedTimer clock;
  clock.start();
  while (process.state() != QProcess::NotRunning && clock.elapsed() < 60000) QTest::qWait(20);
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QString inputName(TestDesktop& desktop) { return desktop.control<QLabel>("inputFrom")->text(); }

QString menuTitle(const QMenu* menu) { return menu->title().remove(QLatin1Char('&')); }

// The "Menu > Item" paths the help pages name, with the page they are on.
QList<QPair<QString, QString>> namedMenuPaths() {
  QList<QPair<QString, QString>> paths;
  QRegularExpression path(QStringLiteral("<strong>(\\w+) &rsaquo;\\s+([^<]+)</strong>"));
  QDir book(QStringLiteral(CORVELA_HELP_BOOK));
  QStringList pages = {QStringLiteral("index.html")};
  for (const QString& page : QDir(book.filePath(QStringLiteral("pages"))).entryList({"*.html"}))
    pages << QStringLiteral("pages/") + page;
  for (const QString& page : pages) {
    QFile file(book.filePath(page));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QString html = QString::fromUtf8(file.readAll());
    for (auto match = path.globalMatch(html); match.hasNext();) {
      auto found = match.next();
      paths.append({page, found.captured(1) + " > " + found.captured(2).simplified()});
    }
  }
  return paths;
}

// A store that has been used before, so start-up asks no first-run question: its path in
// `folder`, or "" when it could not be written.
std::string knownStore(const QTemporaryDir& folder) {
  std::string path = folder.filePath(QStringLiteral("store.prefs")).toStdString();
  CVPrefs store(path);
  store.setObject(prefKey::Preferences, Value::Array{Value("converted2.2")});
  store.setObject(prefKey::CheckForUpdates, false);
  store.setObject("Categories", Value::Array{Value("Dining")});
  return store.synchronize() ? path : std::string();
}

bool isControl(QWidget* w) {
  // A combo box's own line edit and drop-down list speak for the combo box.
  for (QWidget* up = w->parentWidget(); up; up = up->parentWidget())
    if (qobject_cast<QComboBox*>(up)) return false;
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
         qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTabBar*>(w);
}

// The controls of `window` that have neither an accessible name nor a label naming them.
QStringList unnamed(QWidget* window) {
  QSet<QWidget*> labelled;
  for (QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy()) labelled << label->buddy();
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!isControl(w) || w->focusPolicy() == Qt::NoFocus || labelled.contains(w)) continue;
    // On Linux a combo box's accessible name is its text; its own name goes out as a label.
    if (!w->accessibleName().isEmpty()) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    if (accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty()) continue;
    found << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                         w->objectName());
  }
  return found;
}

double luminance(const QColor& color) {
  auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
         0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The labels of `window` whose text hardly stands out from the window behind it, and the
// widgets that fix a colour of their own.
QStringList hardToRead(QWidget* window) {
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->styleSheet().contains(QStringLiteral("color"))) found << w->objectName();
    auto* label = qobject_cast<QLabel*>(w);
    if (!label) continue;
    QColor text = label->palette().color(label->foregroundRole());
    QColor behind = window->palette().color(QPalette::Window);
    if (contrast(text, behind) < 3.0) found << label->objectName() + " " + label->text().left(20);
  }
  return found;
}

// Each window of the program in the state a person meets it in, one after the other.
void forEachWindow(const std::function<void(const QString&, QWidget*)>& check) {
  TestDesktop desktop([](CVPrefs& store) {
    store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
  });
  check(QStringLiteral("start"), &desktop.window());
  QVERIFY(desktop.desktop->openFile(desktop.write(
      "two.qif", "!Type:Bank\nD03/01/2024\nT-4.50\nPCOFFEE\n^\nD03/02/2024\nT-9\nPNEW SHOP\n^\n")));
  check(QStringLiteral("controls"), &desktop.window());
  desktop.savePanelAnswer = desktop.path("out.qif");
  desktop.controls().processButton()->click();
  TransactionDialog* dialog = desktop.desktop->transactionDialog();
  QTRY_VERIFY(dialog->isVisible());
  check(QStringLiteral("confirmation"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"))->click();
  QTRY_VERIFY(dialog->newInstructionPane()->isVisible());
  check(QStringLiteral("new instruction"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("skipRemainingButton"))->click();
  QTRY_VERIFY(!dialog->isVisible());
  check(QStringLiteral("report"), &desktop.window());
  desktop.status().doneButton()->click();
  desktop.desktop->optionsDialog().display();
  check(QStringLiteral("options"), &desktop.desktop->optionsWindow());
  desktop.desktop->optionsWindow().close();
  desktop.desktop->showAbout();
  check(QStringLiteral("about"), desktop.desktop->aboutWindow());
}

}  // namespace

class DesktopAppTest : public QObject {
  Q_OBJECT

 private slots:
  // A logout sends SIGTERM: what the program holds in memory reaches the store before it ends.
  void aSignalEndsTheProgramWithTheStoreWritten() {
    QTemporaryDir folder;
    std::string path = knownStore(folder);
    QVERIFY(!path.empty());
    for (int signal : {SIGTERM, SIGINT}) {
      QVERIFY(CVPrefs::initWithPath(path).objectForKey("DescriptionOutput").isNull());
      QProcess program;
      QProcessEnvironment env = programEnvironment(path);
      env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.path());
      program.setProcessEnvironment(env);
      program.start(QStringLiteral(CORVELA_DESKTOP_PROGRAM), {});
      QVERIFY(program.waitForStarted());
      // Start-up writes its defaults in memory only; the window shows once it is done.
      QTest::qWait(3000);
      ::kill(static_cast<pid_t>(program.processId()), signal);
      QVERIFY(program.waitForFinished(20000));
      QCOMPARE(program.exitStatus(), QProcess::NormalExit);
      QCOMPARE(CVPrefs::initWithPath(path).objectForKey("DescriptionOutput").toString(),
               std::string("%d"));
      CVPrefs reset = CVPrefs::initWithPath(path);
      reset.removeObjectForKey("DescriptionOutput");
      QVERIFY(reset.synchronize());
    }
  }

  void firstStartAsksThenPreferencesOpen() {
    QTemporaryDir folder;
    DesktopApp app(folder.filePath(QStringLiteral("store.prefs")).toStdString());
    QStringList titles;
    // "Just Convert", then "Yes" to the update question.
    std::function<void(QMessageBox*)> answer = [&](QMessageBox* box) {
      titles << box->text();
      if (titles.size() == 1) whenModalShows<QMessageBox>(answer);
      box->defaultButton()->click();
    };
    whenModalShows<QMessageBox>(answer);
    app.start();
    QCOMPARE(titles, QStringList({QStringLiteral("Corvela First Run"),
                                  QStringLiteral("Checking For Updates")}));
    QVERIFY(app.options().isOn(option::dontAddCategories));
    QVERIFY(app.window()->isVisible());

    // The Preferences item is off while the options window is open.
    app.preferencesAction()->trigger();
    QVERIFY(app.optionsWindow().isVisible());
    QVERIFY(!app.preferencesAction()->isEnabled());

    app.optionsWindow().findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(!app.optionsWindow().isVisible());
    QVERIFY(app.preferencesAction()->isEnabled());
    QVERIFY(app.options().isOn(option::converted2_2));
    QCOMPARE(str(app.store().prefs(), prefKey::OutputDateFormat), std::string("%m/%d/%Y"));
  }

  void fileOnTheCommandLineIsOpenedAtStart() {
    QTemporaryDir folder;
    std::string path = knownStore(folder);
    QVERIFY(!path.empty());
    DesktopApp app(path);
    app.start(CORVELA_TEST_DATA "/app/card.qfx");
    MainWindow& window = *app.mainWindow();
    QVERIFY(window.isVisible());
    QCOMPARE(window.controlView()->findChild<QLabel*>(QStringLiteral("inputFrom"))->text(),
             QStringLiteral("card.qfx"));
    QVERIFY(!window.preferencesAction()->isEnabled());
  }

  void secondCommandHandsItsFileOver() {
    TestDesktop desktop;
    QVERIFY(desktop.active);
    QVERIFY(desktop.desktop->listenForDocuments(DocumentServer::serverName(desktop.storePath)));

    Command first =
        runCorvela(desktop.storePath, QStringLiteral(CORVELA_TEST_DATA "/app/bank.qif"));
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(&desktop.controls()));
    QCOMPARE(inputName(desktop), QStringLiteral("bank.qif"));

    // While that input is loaded, the running program refuses another and the command says so.
    Command second =
        runCorvela(desktop.storePath, QStringLiteral(CORVELA_TEST_DATA "/app/card.qfx"));
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.errors.contains(QStringLiteral("was not opened")), qPrintable(second.errors));
    QCOMPARE(inputName(desktop), QStringLiteral("bank.qif"));
  }

  void serverAnswersForItsOwnStoreOnly() {
    QTemporaryDir folder;
    std::string store = folder.filePath(QStringLiteral("store.prefs")).toStdString();
    QString mine = DocumentServer::serverName(store);
    QCOMPARE(DocumentServer::serverName(store), mine);
    QVERIFY(DocumentServer::serverName(store + ".other") != mine);
    QCOMPARE(DocumentServer::handToRunningProgram(mine, QStringLiteral("/x.qif"), 500),
             DocumentServer::Handoff::noProgram);

    std::vector<std::string> asked;
    DocumentServer server([&](const std::string& path) {
      asked.push_back(path);
      return path != "/busy.qif";
    });
    QVERIFY(server.listen(mine));
    // A second program for the same store does not take the name from the first.
    DocumentServer rival([](const std::string&) { return true; });
    QVERIFY(!rival.listen(mine));

    // The client side blocks, so it runs in a thread of its own while this one serves.
    auto handOver = [&](const QString& path) {
      std::atomic<int> answer{-1};
      std::thread client(
          [&] { answer = static_cast<int>(DocumentServer::handToRunningProgram(mine, path)); });
      bool answered = QTest::qWaitFor([&] { return answer != -1; }, 10000);
      client.join();
      return answered ? static_cast<DocumentServer::Handoff>(answer.load())
                      : DocumentServer::Handoff::noProgram;
    };
    // A line end inside a file name does not cut the request short.
    QCOMPARE(handOver(QStringLiteral("/odd\nname.qif")), DocumentServer::Handoff::accepted);
    QCOMPARE(handOver(QStringLiteral("/busy.qif")), DocumentServer::Handoff::refused);
    QCOMPARE(asked, (std::vector<std::string>{"/odd\nname.qif", "/busy.qif"}));
  }
  void damagedStoreIsToldOnceWithWhereItWent() {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("store.prefs")).toStdString();
    {
      QFile damaged(QString::fromStdString(path));
      QVERIFY(damaged.open(QIODevice::WriteOnly));
      damaged.write("not a store");
    }
    // Answers every alert of both starts (a new store also asks the first-run and update
    // questions), noting what each said.
    auto told = std::make_shared<QStringList>();
    auto answer = std::make_shared<std::function<void(QMessageBox*)>>();
    *answer = [told, weak = std::weak_ptr(answer)](QMessageBox* box) {
      *told << box->text() + ": " + box->informativeText();
      if (auto next = weak.lock()) whenModalShows<QMessageBox>(*next);
      box->defaultButton()->click();
    };
    for (int start = 0; start < 2; ++start) {
      DesktopApp desktop(path);
      whenModalShows<QMessageBox>(*answer);
      QVERIFY(desktop.start());
      desktop.saveStoreQuietly();
    }
    const QStringList damage = told->filter(QStringLiteral("Could Not Be Read"));
    QCOMPARE(damage.size(), 1);
    QVERIFY2(damage[0].contains(QString::fromStdString(path) + ".unreadable-"),
             qPrintable(damage[0]));
  }

  void helpMenusReportAndAbout() {
    TestDesktop desktop;
    QStringList existing;
    for (QMenu* menu : desktop.window().menuBar()->findChildren<QMenu*>())
      for (QAction* action : menu->actions())
        existing << menuTitle(menu) + " > " + action->text().remove(QLatin1Char('&'));
    QList<QPair<QString, QString>> named = namedMenuPaths();
    QVERIFY(named.size() >= 4);
    for (const auto& [page, path] : named)
      QVERIFY2(existing.contains(path), qPrintable(page + " names " + path));

    // Report a Problem counts the store in use: the desktop's store holds three instructions and
    // three categories.
    desktop.window().reportProblemAction()->trigger();
    QCOMPARE(desktop.opened.size(), std::size_t{1});
    const QUrl& mail = desktop.opened[0];
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Corvela v11.8"));
    QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
    QVERIFY2(body.contains(QStringLiteral("\nCategories: 3\nInstructions: 3\n")), qPrintable(body));

    desktop.window().aboutAction()->trigger();
    QDialog* about = desktop.desktop->aboutWindow();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("aboutName"))->text(),
             QStringLiteral("Corvela 11.8"));
    QString libraries = about->findChild<QLabel*>(QStringLiteral("aboutLibraries"))->text();
    for (const char* name : {"Qt ", "ICU ", "libplist ", "LGPL", "MIT"})
      QVERIFY2(libraries.contains(QLatin1String(name)), name);
  }

  // One walk in a dark palette: names do not depend on the colours.
  void everyControlIsNamedAndReadsInADarkPalette() {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    forEachWindow([](const QString& window, QWidget* widget) {
      const QStringList faults = unnamed(widget) + hardToRead(widget);
      QVERIFY2(faults.isEmpty(), qPrintable(window + ": " + faults.join(QStringLiteral(", "))));
    });
    QApplication::setPalette(light);
  }
};

int runDesktopAppTest(const QStringList& arguments) {
  return runTestClass<DesktopAppTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "DesktopAppTest.moc"
