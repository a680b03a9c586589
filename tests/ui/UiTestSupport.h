#pragma once

// The test files include this (or TestDesktop.h) first: the Qt widget and QtTest modules whole,
// so that each file lists only the program's own headers it drives.
#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "support/RecordingOptionsHost.h"
#include "ui/CompletingComboBox.h"
#include "ui/QtText.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// Runs the slots of the test class T: each class's run function in UiTests.h comes to this.
template <typename T>
int runTestClass(const QStringList& arguments) {
  T test;
  return QTest::qExec(&test, arguments);
}

// Runs `act` on the modal window of type W that the code under test is about to open (it
// polls until one shows, for at most two seconds, so nested event loops have started).
template <typename W>
void whenModalShows(std::function<void(W*)> act) {
  auto* timer = new QTimer(qApp);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, act] {
    if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
      timer->deleteLater();
      timer->stop();
      act(window);
    } else if (++*tries >= 200) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

// Presses `key` (with `modifiers`, `times` times) where the keyboard focus is now.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
  for (int i = 0; i < times; ++i) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Presses Tab until `target` has the focus (at most 20 times); whether it got there.
inline bool tabTo(QWidget* target) {
  for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) press(Qt::Key_Tab);
  return QApplication::focusWidget() == target;
}

// The cell editor open in `view` (a line edit or a pop-up), once it shows.
template <typename W>
W* openEditor(QAbstractItemView* view) {
  for (int i = 0; i < 50; ++i) {
    if (auto* editor = qobject_cast<W*>(view->indexWidget(view->currentIndex()))) return editor;
    QTest::qWait(10);
  }
  return nullptr;
}

// The field's text with its selection in brackets, e.g. "Din[ing]".
inline QString shown(const CompletingComboBox& box) {
  QString text = qs(box.text());
  TextRange range = box.selectedRange();
  int from = utf16Index(text, range.location);
  int to = utf16Index(text, range.end());
  return text.left(from) + QLatin1Char('[') + text.mid(from, to - from) + QLatin1Char(']') +
         text.mid(to);
}

// What a person sees of the named controls under `root`, one line each: the name, then the
// text (a combo box's with its selection in brackets, a button's tooltip in brackets, a tab
// view's current tab, a table's rows one by one), and what sets
// the control apart: "on" when checked, "off" when disabled, "hidden" when not shown.
inline QString stateOf(const QWidget* root, std::initializer_list<const char*> names) {
  QString out;
  for (const char* name : names) {
    auto* w = root->findChild<QWidget*>(QLatin1String(name));
    QString text = QStringLiteral("(none)");
    if (auto* box = qobject_cast<CompletingComboBox*>(w))
      text = shown(*box);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
      text = combo->currentText();
    else if (auto* label = qobject_cast<QLabel*>(w))
      text = label->text();
    else if (auto* line = qobject_cast<QLineEdit*>(w))
      text = line->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
      text = button->text() + (button->isChecked() ? QStringLiteral(" (on)") : QString()) +
             (button->toolTip().isEmpty() ? QString()
                                          : QStringLiteral(" [%1]").arg(button->toolTip()));
    else if (auto* tabs = qobject_cast<QTabWidget*>(w))
      text = tabs->tabText(tabs->currentIndex());
    else if (auto* table = qobject_cast<QTableView*>(w)) {
      QStringList rows;
      for (int row = 0; row < table->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->model()->columnCount(); ++column)
          cells << table->model()->index(row, column).data().toString();
        rows << cells.join(QLatin1Char('|'));
      }
      text = rows.join(QStringLiteral(" / "));
    }
    if (w && !w->isEnabled()) text += QStringLiteral(" (off)");
    if (w && !w->isVisibleTo(root)) text += QStringLiteral(" (hidden)");
    out += QLatin1String(name) + QStringLiteral(": ") + text + QLatin1Char('\n');
  }
  return out;
}

// The golden file tests/data/ui/NAME, which `actual` is compared with. With CORVELA_UPDATE_GOLDEN
// set, the file is written from `actual` first, to be read over before it is committed.
inline QString golden(const QString& name, const QString& actual) {
  QFile file(QStringLiteral(CORVELA_TEST_DATA "/ui/") + name);
  if (qEnvironmentVariableIsSet("CORVELA_UPDATE_GOLDEN")) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (file.open(QIODevice::WriteOnly)) file.write(actual.toUtf8());
    return actual;
  }
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                        : QStringLiteral("(no golden file %1)").arg(name);
}

// A preference store in a folder of its own, removed with the test.
struct ScratchStoreFile {
  QTemporaryDir folder;
  std::string path = folder.filePath(QStringLiteral("test.prefs")).toStdString();
  CVPrefs prefs{path};
};

using corvela::testing::RecordingOptionsHost;

}  // namespace corvela::ui::testing
