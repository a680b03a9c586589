// The window that names an imported input format, typed in as a person types.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "inputformats/Formats.h"
#include "prefs/CVPrefs.h"
#include "ui/FormatRenameWindow.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {
namespace {

class FormatRenameWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void okAndTheDuplicateWarningFollowTheTyping() {
    CVPrefs store("/nonexistent/corvela-rename-test.prefs");
    store.setWritesDeferred(true);
    Formats formats(store);
    formats.addFormat(Value{{"Name", "Knab"}});
    FormatRename presenter(formats, "Knab");
    FormatRenameWindow window(presenter);
    window.show();
    struct Step {
      QString typed;
      bool ok, duplicate;
    };
    const Step steps[] = {{QString(), false, false},
                          {QStringLiteral("kNAB"), true, true},
                          {QStringLiteral("Knab NL"), true, false}};
    QVERIFY(window.okButton()->isEnabled() && window.duplicateMessage()->isVisible());
    for (const Step& step : steps) {
      window.nameField()->selectAll();
      QTest::keyClick(window.nameField(), Qt::Key_Backspace);
      QTest::keyClicks(window.nameField(), step.typed);
      QCOMPARE(window.okButton()->isEnabled(), step.ok);
      QCOMPARE(window.duplicateMessage()->isVisible(), step.duplicate);
    }
    QCOMPARE(presenter.form().name, std::string("Knab NL"));
  }
};

}  // namespace

int runFormatRenameWindowTest(const QStringList& arguments) {
  FormatRenameWindowTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "FormatRenameWindowTest.moc"
