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

// A preference store in a folder of its own, removed with the test.
struct ScratchStoreFile {
  QTemporaryDir folder;
  std::string path = folder.filePath(QStringLiteral("test.prefs")).toStdString();
  CVPrefs prefs{path};
};

using corvela::testing::RecordingOptionsHost;

}  // namespace corvela::ui::testing
