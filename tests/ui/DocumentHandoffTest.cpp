#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

#include "ui/DocumentServer.h"
#include "ui/TestDesktop.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

struct Command {
  int exitCode = -1;
  QString errors;
};

// Runs `corvela FILE` over `storePath` while this program's event loop answers it.
Command runCorvela(const std::string& storePath, const QString& file) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("CORVELA_PREFS"), QString::fromStdString(storePath));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(environment);
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

}  // namespace

// A second `corvela FILE` hands its file to the program already running for the same store.
class DocumentHandoffTest : public QObject {
  Q_OBJECT

 private slots:
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
};

int runDocumentHandoffTest(const QStringList& arguments) {
  DocumentHandoffTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "DocumentHandoffTest.moc"
