#include "ui/CancelConfirmSheet.h"
#include "ui/FilePanels.h"
#include "ui/InputErrorWarningWindow.h"
#include "ui/QtPlatform.h"
#include "ui/StatusView.h"
#include "ui/UiTestSupport.h"

namespace corvela::ui::testing {
namespace {

QPushButton* buttonTitled(QMessageBox* box, const QString& title) {
  for (QAbstractButton* button : box->buttons())
    if (button->text() == title) return qobject_cast<QPushButton*>(button);
  return nullptr;
}

void touch(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

// The desktop's answers to the core's questions, and its services: among them the open and
// save panels, the files they offer and the choice they return.
class QtPlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    platform = std::make_unique<QtPlatform>(HelpBook(QStringLiteral(CORVELA_HELP_BOOK)));
    opened.clear();
    platform->setUrlOpener([this](const QUrl& url) {
      opened << url;
      return true;
    });
  }
  void cleanup() { platform.reset(); }

  void alertShowsItsTextAndAnswersTheButtonPressed() {
    QString seen;  // title | text | default button | every button, sorted
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
      QStringList buttons;
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      buttons.sort();
      seen = QStringList{box->text(), box->informativeText(), box->defaultButton()->text(),
                         buttons.join(',')}
                 .join('|');
      buttonTitled(box, QStringLiteral("Later"))->click();
    });
    int answer = platform->runAlert(
        {"Checking For Updates", "Line one\r\rLine two", {"Yes", "No", "Later"}});
    QCOMPARE(answer, 2);
    QCOMPARE(seen, QStringLiteral("Checking For Updates|Line one\n\nLine two|Yes|Later,No,Yes"));

    // Return presses the first button; Escape answers Cancel, and without a Cancel button does
    // nothing: the person must choose.
    whenModalShows<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QCOMPARE(platform->runAlert({"Title", "Text", {"Just Convert", "Categorize"}}), 0);
    whenModalShows<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(platform->runAlert({"Title", "Text", {"Replace", "Cancel"}}), 1);
    whenModalShows<QMessageBox>([](QMessageBox* box) {
      QTest::keyClick(box, Qt::Key_Escape);
      QTimer::singleShot(50, box, [box] {
        if (box->isVisible()) buttonTitled(box, QStringLiteral("Categorize"))->click();
      });
    });
    QCOMPARE(platform->runAlert({"Title", "Text", {"Just Convert", "Categorize"}}), 1);
  }

  void cancelConfirmAnswersTheButtonAndTheSwitch() {
    bool openedOnAsk = false;
    whenModalShows<CancelConfirmSheet>([&](CancelConfirmSheet* sheet) {
      openedOnAsk = sheet->askEveryTimeSwitch()->isChecked();
      sheet->alwaysFinishLaterSwitch()->click();
      sheet->finishLaterButton()->click();
    });
    CancelConfirmReply reply = platform->runCancelConfirm();
    QVERIFY(openedOnAsk);
    QCOMPARE(reply.button, 1);
    QVERIFY(reply.remember == CancelRemember::alwaysFinishLater);

    whenModalShows<CancelConfirmSheet>([](CancelConfirmSheet* sheet) {
      sheet->alwaysStopSwitch()->click();
      sheet->stopButton()->click();
    });
    reply = platform->runCancelConfirm();
    QCOMPARE(reply.button, 0);
    QVERIFY(reply.remember == CancelRemember::alwaysStop);

    // Over an active window it is a sheet of that window.
    QMainWindow main;
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QWidget* parent = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    whenModalShows<CancelConfirmSheet>([&](CancelConfirmSheet* sheet) {
      parent = sheet->parentWidget();
      modality = sheet->windowModality();
      QTest::keyClick(sheet, Qt::Key_Escape);
    });
    reply = platform->runCancelConfirm();
    QCOMPARE(parent, static_cast<QWidget*>(&main));
    QCOMPARE(modality, Qt::WindowModal);
    // Escape goes on with the run: it loses nothing.
    QCOMPARE(reply.button, 2);
    QVERIFY(reply.remember == CancelRemember::askEveryTime);
  }

  void inputErrorWarningHidesTheMainWindowWhileItShows() {
    QMainWindow main;
    main.show();
    platform->setMainWindow(&main);
    // What the window shows: the main window | message | text | button | switch shown, on.
    QString seen;
    bool switchShown = false;
    whenModalShows<InputErrorWarningWindow>([&](InputErrorWarningWindow* window) {
      seen = QStringList{main.isVisible() ? "main shown" : "main hidden", window->message(),
                         window->transactionText(), window->defaultButton()->text(),
                         QString::number(window->dontWarnSwitch()->isVisible()) +
                             QString::number(window->dontWarnSwitch()->isChecked())}
                 .join('|');
      window->dontWarnSwitch()->click();
      window->defaultButton()->click();
    });
    InputErrorWarningReply reply = platform->runInputErrorWarning(
        {"The date cannot be read.", "12/x/2009\rGROCER", "Skip Transaction", true});
    QVERIFY(main.isVisible());
    QCOMPARE(seen, QStringLiteral("main hidden|The date cannot be read.|12/x/2009\nGROCER|"
                                  "Skip Transaction|10"));
    QCOMPARE(reply.answer, 1);
    QVERIFY(reply.dontWarn);

    // Without a format there is no switch to set (and without a main window none to hide).
    platform->setMainWindow(nullptr);
    whenModalShows<InputErrorWarningWindow>([&](InputErrorWarningWindow* window) {
      switchShown = window->dontWarnSwitch()->isVisible();
      window->dontWarnSwitch()->setChecked(true);
      window->cancelButton()->click();
    });
    reply = platform->runInputErrorWarning({"Unreadable.", "text", "Skip Transaction", false});
    QVERIFY(!switchShown);
    QCOMPARE(reply.answer, 0);
    QVERIFY(!reply.dontWarn);
  }

  void statusGoesToTheStatusView() {
    StatusView view;
    platform->setStatusView(&view);
    QSignalSpy shown(&view, &StatusView::shown);
    QSignalSpy dismissed(&view, &StatusView::dismissed);
    platform->showStatus("Finished Processing Transactions",
                         "\r\r3 transactions output to file \"out.qif\".");
    QCOMPARE(view.text(), QStringLiteral("\n\n3 transactions output to file \"out.qif\"."));
    QCOMPARE(view.window()->windowTitle(), QStringLiteral("Finished Processing Transactions"));
    QCOMPARE(shown.size(), 1);
    view.doneButton()->click();
    QCOMPARE(dismissed.size(), 1);

    // Without a view the status is a window of its own.
    platform->setStatusView(nullptr);
    platform->showStatus("Invalid Input", "\r\rBad.");
    StatusView* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* other = qobject_cast<StatusView*>(widget); other && other != &view) window = other;
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Invalid Input"));
    window->doneButton()->click();
    QVERIFY(!window->isVisible());
  }

  void clipboardAndMail() {
    QApplication::clipboard()->setText(QStringLiteral("01/02/2009 GROCER -12.00"));
    QCOMPARE(platform->clipboardText(), std::optional<std::string>("01/02/2009 GROCER -12.00"));
    QApplication::clipboard()->clear();
    QCOMPARE(platform->clipboardText(), std::optional<std::string>());
    // Mail goes out as written.
    std::string url = "mailto:help@corvela.org?subject=Corvela%20v11.8&body=%0A%0ADebugging";
    QVERIFY(platform->openMailURL(url));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].toEncoded().toStdString(), url);
  }

  void helpOpensThePageOfTheAnchor() {
    const std::pair<const char*, const char*> cases[] = {
        {"QFX", "pages/1Control.html#QFX"},
        {"QIF", "pages/1Control.html#QIF"},
        {"Text", "pages/1Control.html#Text"},
        {"Options", "pages/2Preferences.html#Options"},
        {"", "index.html"},
        {"NoSuchAnchor", "index.html"},
    };
    for (const auto& [anchor, page] : cases) platform->openHelpPage(anchor);
    platform->openHelpBook();
    platform->openHelp("pages/1Control.html", "QIF");
    QCOMPARE(opened.size(), qsizetype(std::size(cases) + 2));
    QString book = QUrl::fromLocalFile(QStringLiteral(CORVELA_HELP_BOOK "/")).toString();
    for (std::size_t i = 0; i < std::size(cases); ++i)
      QCOMPARE(opened[qsizetype(i)].toString(), book + QLatin1String(cases[i].second));
    QCOMPARE(opened[qsizetype(std::size(cases))].toString(), book + "index.html");
    QCOMPARE(opened.last().toString(), book + "pages/1Control.html#QIF");

    // Help that cannot open is reported.
    platform->setUrlOpener([](const QUrl&) { return false; });
    QString title;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
      title = box->text();
      box->defaultButton()->click();
    });
    platform->openHelpBook();
    QCOMPARE(title, QStringLiteral("Cannot Open Help"));
  }

  // A one-shot runs once on the main loop, and not at all once the platform is gone.
  void oneShotRunsOnTheMainLoop() {
    int runs = 0, orphans = 0;
    platform->scheduleOneShot(0.01, [&] { ++runs; });
    QCOMPARE(runs, 0);
    QTRY_COMPARE(runs, 1);
    platform->scheduleOneShot(0.01, [&] { ++orphans; });
    platform.reset();
    QTest::qWait(40);
    QCOMPARE(runs, 1);
    QCOMPARE(orphans, 0);
  }

  // Extensions are compared exactly; "" stands for files without one; no types accept all.
  void typesAreComparedExactly() {
    const std::pair<const char*, bool> cases[] = {
        {"march.qif", true},   {"MARCH.QIF", true},       {"march.Qif", false}, {"statement", true},
        {"report.pdf", false}, {"archive.qif.gz", false}, {"odd.", true},
    };
    for (const auto& [name, accepted] : cases)
      QCOMPARE(acceptsFileType({"qif", "QIF", ""}, QLatin1String(name)), accepted);
    QVERIFY(acceptsFileType({}, QStringLiteral("x.pdf")));
  }

  void openPanelReturnsTheFileAndTheAppendSwitchOrNothing() {
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("old.csv"));
    touch(file);
    OpenPanel panel;
    panel.directory = utf8(folder.path());
    panel.fileTypes = {"csv"};
    panel.prompt = "Append To";
    panel.appendSwitch = true;
    bool switchOn = false;
    QString prompt;
    whenModalShows<OpenFileDialog>([&](OpenFileDialog* dialog) {
      switchOn = dialog->appendSwitch() && dialog->appendSwitch()->isChecked();
      prompt = dialog->labelText(QFileDialog::Accept);
      dialog->appendSwitch()->click();
      dialog->selectFile(file);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    std::optional<OpenPanelChoice> choice = platform->runOpenPanel(panel);
    QVERIFY(choice);
    QCOMPARE(qs(choice->path), file);
    QVERIFY(switchOn);
    QVERIFY(!choice->append);
    QCOMPARE(prompt, QStringLiteral("Append To"));

    // Without the switch asked for, the panel starts in the folder asked for, with no switch;
    // both panels can be cancelled.
    OpenPanel plain;
    plain.directory = panel.directory;
    OpenFileDialog dialog(plain);
    QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
    QVERIFY(!dialog.appendSwitch());
    whenModalShows<OpenFileDialog>([](OpenFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!platform->runOpenPanel({}));
    whenModalShows<SaveFileDialog>([](SaveFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!platform->runSavePanel({}));
  }

  // A typed name without the required extension gets it added, also when the name field still
  // has the focus from the typing (the dialog's own selectFile ignores the field then).
  void savePanelEndsInTheRequiredType() {
    const std::pair<QString, QString> typedAndSaved[] = {{"", "QIF Import 03-15-2009.qif"},
                                                         {"march", "march.qif"},
                                                         {"march.qif", "march.qif"},
                                                         {"march.txt", "march.txt.qif"}};
    for (const auto& [typed, saved] : typedAndSaved) {
      QTemporaryDir folder;
      SavePanel panel;
      panel.directory = utf8(folder.path());
      panel.requiredFileType = "qif";
      panel.suggestedName = "QIF Import 03-15-2009.qif";
      whenModalShows<SaveFileDialog>([&](SaveFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        dialog->activateWindow();
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        if (!typed.isEmpty()) name->setText(typed);
        dialog->accept();
      });
      std::optional<std::string> path = platform->runSavePanel(panel);
      QVERIFY(path);
      QCOMPARE(QFileInfo(qs(*path)).fileName(), saved);
      QCOMPARE(QFileInfo(qs(*path)).dir().canonicalPath(), QDir(folder.path()).canonicalPath());
    }
  }

 private:
  std::unique_ptr<QtPlatform> platform;
  QList<QUrl> opened;
};

int runQtPlatformTest(const QStringList& arguments) {
  return runTestClass<QtPlatformTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "QtPlatformTest.moc"
