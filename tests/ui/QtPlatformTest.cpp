#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "ui/CancelConfirmSheet.h"
#include "ui/InputErrorWarningWindow.h"
#include "ui/QtPlatform.h"
#include "ui/QtText.h"
#include "ui/StatusView.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

QPushButton* buttonTitled(QMessageBox* box, const QString& title) {
  for (QAbstractButton* button : box->buttons())
    if (button->text() == title) return qobject_cast<QPushButton*>(button);
  return nullptr;
}

}  // namespace

// The desktop's answers to the core's questions, and its services.
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
    QString title, text, defaultButton;
    QStringList buttons;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
      title = box->text();
      text = box->informativeText();
      defaultButton = box->defaultButton()->text();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      buttonTitled(box, QStringLiteral("Later"))->click();
    });
    int answer = platform->runAlert(
        {"Checking For Updates", "Line one\r\rLine two", {"Yes", "No", "Later"}});
    QCOMPARE(answer, 2);
    QCOMPARE(title, QStringLiteral("Checking For Updates"));
    QCOMPARE(text, QStringLiteral("Line one\n\nLine two"));
    QCOMPARE(defaultButton, QStringLiteral("Yes"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Later", "No", "Yes"}));

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
    bool mainHidden = false;
    QString message, text, buttonTitle;
    bool switchShown = false, switchCleared = false;
    whenModalShows<InputErrorWarningWindow>([&](InputErrorWarningWindow* window) {
      mainHidden = !main.isVisible();
      message = window->message();
      text = window->transactionText();
      buttonTitle = window->defaultButton()->text();
      switchShown = window->dontWarnSwitch()->isVisible();
      switchCleared = !window->dontWarnSwitch()->isChecked();
      window->dontWarnSwitch()->click();
      window->defaultButton()->click();
    });
    InputErrorWarningReply reply = platform->runInputErrorWarning(
        {"The date cannot be read.", "12/x/2009\rGROCER", "Skip Transaction", true});
    QVERIFY(mainHidden && main.isVisible());
    QCOMPARE(message, QStringLiteral("The date cannot be read."));
    QCOMPARE(text, QStringLiteral("12/x/2009\nGROCER"));
    QCOMPARE(buttonTitle, QStringLiteral("Skip Transaction"));
    QVERIFY(switchShown && switchCleared);
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

 private:
  std::unique_ptr<QtPlatform> platform;
  QList<QUrl> opened;
};

int runQtPlatformTest(const QStringList& arguments) {
  QtPlatformTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "QtPlatformTest.moc"
