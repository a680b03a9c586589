#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ui/FilePanels.h"
#include "ui/QtPlatform.h"
#include "ui/QtText.h"
#include "ui/UiTestSupport.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

void touch(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

// The open and save panels: the files they offer and the choice they return.
class FilePanelsTest : public QObject {
  Q_OBJECT

 private slots:
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

  void openPanelReturnsTheFileAndTheAppendSwitch() {
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("old.csv"));
    touch(file);
    OpenPanel panel;
    panel.directory = utf8(folder.path());
    panel.fileTypes = {"csv"};
    panel.prompt = "Append To";
    panel.appendSwitch = true;

    QtPlatform platform(HelpBook(QString{}));
    bool switchOn = false;
    QString prompt;
    whenModalShows<OpenFileDialog>([&](OpenFileDialog* dialog) {
      switchOn = dialog->appendSwitch() && dialog->appendSwitch()->isChecked();
      prompt = dialog->labelText(QFileDialog::Accept);
      dialog->appendSwitch()->click();
      dialog->selectFile(file);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    std::optional<OpenPanelChoice> choice = platform.runOpenPanel(panel);
    QVERIFY(choice);
    QCOMPARE(qs(choice->path), file);
    QVERIFY(switchOn);
    QVERIFY(!choice->append);
    QCOMPARE(prompt, QStringLiteral("Append To"));
  }

  void openPanelStartsInTheFolderAskedForAndCanBeCancelled() {
    QTemporaryDir folder;
    OpenPanel panel;
    panel.directory = utf8(folder.path());
    OpenFileDialog dialog(panel);
    QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
    QVERIFY(!dialog.appendSwitch());
    QtPlatform platform(HelpBook(QString{}));
    whenModalShows<OpenFileDialog>([](OpenFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!platform.runOpenPanel({}));
    whenModalShows<SaveFileDialog>([](SaveFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!platform.runSavePanel({}));
  }

  void savePanelEndsInTheRequiredType_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("suggested") << ""
                               << "QIF Import 03-15-2009.qif";
    QTest::newRow("without extension") << "march"
                                       << "march.qif";
    QTest::newRow("with it") << "march.qif"
                             << "march.qif";
    QTest::newRow("with another") << "march.txt"
                                  << "march.txt.qif";
  }
  void savePanelEndsInTheRequiredType() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QTemporaryDir folder;
    SavePanel panel;
    panel.directory = utf8(folder.path());
    panel.requiredFileType = "qif";
    panel.suggestedName = "QIF Import 03-15-2009.qif";

    QtPlatform platform(HelpBook(QString{}));
    whenModalShows<SaveFileDialog>([&](SaveFileDialog* dialog) {
      if (!typed.isEmpty()) dialog->selectFile(typed);
      dialog->accept();
    });
    std::optional<std::string> path = platform.runSavePanel(panel);
    QVERIFY(path);
    QCOMPARE(QFileInfo(qs(*path)).fileName(), saved);
    QCOMPARE(QFileInfo(qs(*path)).dir().canonicalPath(), QDir(folder.path()).canonicalPath());
  }
};

int runFilePanelsTest(const QStringList& arguments) {
  FilePanelsTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "FilePanelsTest.moc"
