// What the person is told about the program itself: a damaged store once, at start, with where
// it went; the help book names only menus that exist; Report a Problem composes its mail from
// the store the program runs with; About names the version and the libraries.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include "ui/DesktopApp.h"
#include "ui/TestDesktop.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

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

}  // namespace

class DiagnosticsTest : public QObject {
  Q_OBJECT

 private slots:
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
};

int runDiagnosticsTest(const QStringList& arguments) {
  DiagnosticsTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "DiagnosticsTest.moc"
