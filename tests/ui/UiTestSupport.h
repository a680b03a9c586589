#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "prefs/CVPrefs.h"
#include "support/RecordingOptionsHost.h"
#include "ui/CompletingComboBox.h"
#include "ui/QtText.h"

namespace corvela::ui::testing {

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
