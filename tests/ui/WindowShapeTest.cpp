// The windows keep their shape whatever they show: within the screen, nothing clipped, the
// transaction window one size for both its views, Escape and Tab as a person expects. Run on a
// 1024x768 screen, at 100% and at 200% (see CMakeLists.txt).
#include "prefs/OptionNames.h"
#include "ui/ConfirmPane.h"
#include "ui/NewInstructionPane.h"
#include "ui/StartView.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

// The visible controls of `window` that are narrower or lower than they need to be to show
// what they hold, by object name (or class).
QStringList clipped(QWidget* window) {
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    // A control given a fixed size (the date stepper's arrows) was sized on purpose.
    if (!w->isVisibleTo(window) || w->size().isEmpty() || w->minimumSize() == w->maximumSize())
      continue;
    if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
        !qobject_cast<QComboBox*>(w) && !qobject_cast<QLineEdit*>(w))
      continue;
    // A combo box sizes its own line edit.
    if (qobject_cast<QComboBox*>(w->parentWidget())) continue;
    QSize need = w->minimumSizeHint();
    int needHeight = w->hasHeightForWidth() ? w->heightForWidth(w->width()) : need.height();
    if (w->width() < need.width() || w->height() < needHeight)
      found << QStringLiteral("%1 %2x%3 (needs %4x%5)")
                   .arg(w->objectName().isEmpty() ? QLatin1String(w->metaObject()->className())
                                                  : w->objectName())
                   .arg(w->width())
                   .arg(w->height())
                   .arg(need.width())
                   .arg(needHeight);
  }
  return found;
}

bool insideScreen(QWidget* window) {
  return window->screen()->availableGeometry().size().boundedTo(window->frameGeometry().size()) ==
         window->frameGeometry().size();
}

// Whether each button lies wholly inside its window.
bool buttonsInside(QWidget* window, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    auto* button = window->findChild<QPushButton*>(QLatin1String(name));
    if (!button) return false;
    QRect where(button->mapTo(window, QPoint(0, 0)), button->size());
    if (!window->rect().contains(where)) return false;
  }
  return true;
}

// The named control that has the keyboard focus: the widget itself or its nearest named
// ancestor in the control view (a combo box's line edit stands for the combo box).
QWidget* focusedControl(QWidget* view) {
  QWidget* w = QApplication::focusWidget();
  while (w && w != view && (w->objectName().isEmpty() || w->objectName().startsWith("qt_")))
    w = w->parentWidget();
  return w == view ? nullptr : w;
}

QByteArray longMemoRegister() {
  QByteArray memo;
  while (memo.size() < 350) memo += "REFERENCE 20240301-77 CARD ENDING 4444 MERCHANT CITY ";
  memo.truncate(350);
  return "!Type:Bank\nD03/01/2024\nT-4.50\nPCOFFEE CORNER\nM" + memo +
         "\n^\nD03/02/2024\nT-9.00\nPUNKNOWN PAYEE\nM" + memo + "\n^\n";
}

}  // namespace

class WindowShapeTest : public QObject {
  Q_OBJECT

 private slots:
  void transactionWindowFitsTheScreenAndKeepsItsSize() {
    TestDesktop desktop([](CVPrefs& store) {
      store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
    });
    QVERIFY(desktop.run(desktop.write("memo.qif", longMemoRegister())));
    TransactionDialog* dialog = desktop.desktop->transactionDialog();
    QTRY_VERIFY(dialog->isVisible());
    struct View {
      QWidget* pane;
      const char* memoLabel;
    };
    QSize first;
    for (View view : {View{dialog->confirmPane(), "confirmMemoText"},
                      View{dialog->newInstructionPane(), "memoText"}}) {
      QTRY_VERIFY(view.pane->isVisible());
      QTest::qWait(50);  // the layout takes in the new texts, as before the window is drawn
      QVERIFY2(insideScreen(dialog),
               qPrintable(QStringLiteral("%1x%2").arg(dialog->width()).arg(dialog->height())));
      QVERIFY(buttonsInside(
          dialog, {"okButton", "cancelButton", "skipTransactionButton", "skipRemainingButton"}));
      QVERIFY2(clipped(dialog).isEmpty(), qPrintable(clipped(dialog).join(QLatin1Char(' '))));
      // The memo is cut short on screen and whole in its tooltip.
      auto* memo = view.pane->findChild<QLabel*>(QLatin1String(view.memoLabel));
      QCOMPARE(memo->toolTip().size(), 350);
      auto* progress = dialog->findChild<QLabel*>(QStringLiteral("progressLabel"));
      QVERIFY(progress->text().endsWith(QStringLiteral(" of 2")));
      if (first.isEmpty())
        first = dialog->size();
      else
        QCOMPARE(dialog->size(), first);
      if (view.pane == dialog->confirmPane())
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    }
    // A disabled OK says what it waits for.
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton"));
    QVERIFY(ok->isEnabled() && ok->toolTip().isEmpty());
    dialog->findChild<QCheckBox*>(QStringLiteral("amountSwitch"))->click();
    QVERIFY(!ok->isEnabled());
    QVERIFY2(ok->toolTip().contains(QStringLiteral("needs a description")),
             qPrintable(ok->toolTip()));
  }

  // The control view walked through: nothing clipped, Tab in reading order, a date that
  // cannot be read named as such, the greyed Preferences item saying why, and Escape closing an
  // open drop-down and nothing else (with none open, it cancels).
  void controlViewWalk() {
    TestDesktop desktop;
    QVERIFY(clipped(&desktop.window()).isEmpty());
    desktop.window().updateMenus();
    QVERIFY(desktop.window().preferencesAction()->isEnabled());
    QVERIFY(!desktop.window().preferencesAction()->toolTip().contains(QStringLiteral("loaded")));
    QVERIFY(desktop.open("bank.qif"));
    desktop.window().updateMenus();
    QVERIFY(!desktop.window().preferencesAction()->isEnabled());
    QVERIFY(desktop.window().preferencesAction()->toolTip().contains(QStringLiteral("loaded")));
    desktop.control<QRadioButton>("dateRange")->click();
    desktop.control<QCheckBox>("sameDateSwitch")->click();
    QTest::qWait(50);
    QVERIFY(insideScreen(&desktop.window()));
    QVERIFY2(clipped(&desktop.window()).isEmpty(),
             qPrintable(clipped(&desktop.window()).join(QLatin1Char(' '))));

    // Tab walks the control view as it reads: down the window, left to right along a line,
    // each switch just before the field it governs, every control once.
    ControlView& view = desktop.controls();
    desktop.control<QLineEdit>("dateFromString")->setFocus();
    QStringList names;
    QList<QRect> places;
    for (int i = 0; i < 40; ++i) {
      QWidget* control = focusedControl(&view);
      QVERIFY(control);
      if (names.contains(control->objectName())) break;
      names << control->objectName();
      places << QRect(control->mapTo(&view, QPoint(0, 0)), control->size());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Start the list where the window starts.
    int top = 0;
    for (int i = 1; i < places.size(); ++i)
      if (places[i].top() < places[top].top() ||
          (places[i].top() == places[top].top() && places[i].left() < places[top].left()))
        top = i;
    QStringList order = names.mid(top) + names.mid(0, top);
    QList<QRect> at = places.mid(top) + places.mid(0, top);
    for (int i = 1; i < at.size(); ++i) {
      bool below = at[i].top() >= at[i - 1].top() - 4;
      bool sameLineRight = at[i].center().y() >= at[i - 1].top() &&
                           at[i].center().y() <= at[i - 1].bottom() &&
                           at[i].left() > at[i - 1].left();
      QVERIFY2(below || sameLineRight, qPrintable(order[i - 1] + " -> " + order[i]));
    }
    for (auto [before, field] :
         {std::pair{"dateRange", "dateFromString"}, std::pair{"sameDateSwitch", "outputDateString"},
          std::pair{"sameNumberSwitch", "outputNumberString"}}) {
      int index = order.indexOf(QLatin1String(before));
      if (index < 0 && QLatin1String(before) == QLatin1String("dateRange")) continue;
      QVERIFY2(index >= 0 && order.value(index + 1) == QLatin1String(field),
               qPrintable(order.join(QStringLiteral(", "))));
    }
    for (const char* control : {"dateToString", "outputFormatText", "sameDateSwitch",
                                "processTheTransactionsButton", "cancel"})
      QVERIFY2(order.contains(QLatin1String(control)), control);

    struct Case {
      const char* from;
      const char* to;
      const char* says;
    };
    const Case cases[] = {{"soon", "03/31/2024", "first date cannot be read"},
                          {"03/01/2024", "13/45/2024", "last date cannot be read"},
                          {"03/31/2024", "03/01/2024", "must not be later than the last"}};
    for (const Case& c : cases) {
      for (auto [role, text] :
           {std::pair{"dateFromString", c.from}, std::pair{"dateToString", c.to}}) {
        auto* field = desktop.control<QLineEdit>(role);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QLatin1String(text));
        QTest::keyClick(field, Qt::Key_Tab);
      }
      auto* warning = desktop.control<QLabel>("invalidRangeWarning");
      QVERIFY(warning->isVisibleTo(&desktop.window()));
      QVERIFY2(warning->text().contains(QLatin1String(c.says)), qPrintable(warning->text()));
    }

    auto* popUp = desktop.control<QComboBox>("qifTypePopUp");
    popUp->showPopup();
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(&desktop.controls()));

    auto* account = desktop.control<QComboBox>("quickenAccountText");
    account->setFocus();
    QTest::keyClick(account->lineEdit(), Qt::Key_Escape);
    QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(desktop.window().startView()));
  }

  void welcomeTextIsWholeAtAnySize() {
    TestDesktop desktop;
    auto* text = desktop.window().startView()->findChild<QLabel*>(QStringLiteral("welcomeText"));
    QSize screen = desktop.window().screen()->availableGeometry().size();
    for (QSize size : {QSize(520, 420), QSize(660, 500), screen}) {
      desktop.window().resize(size);
      QTest::qWait(20);
      QVERIFY(text->height() >= text->heightForWidth(text->width()));
      QVERIFY(desktop.window().startView()->rect().contains(
          QRect(text->mapTo(desktop.window().startView(), QPoint(0, 0)), text->size())));
    }
  }

  // A long run shows its progress in the status view; the report takes its place.
  void progressGivesWayToTheReport() {
    TestDesktop desktop;
    StatusView& status = desktop.status();
    for (int done : {0, 400, 999}) {
      desktop.desktop->platform().showProgress(done, 1000);
      QCOMPARE(desktop.window().currentPage(), static_cast<QWidget*>(&status));
      QVERIFY(status.progressBar()->isVisibleTo(&desktop.window()));
      QCOMPARE(status.progressBar()->value(), done);
      QCOMPARE(status.text(), QStringLiteral("Transaction %1 of 1000").arg(done + 1));
      QVERIFY(!status.doneButton()->isVisibleTo(&desktop.window()));
    }
    desktop.desktop->platform().showProgress(1000, 1000);
    desktop.desktop->platform().showStatus("Finished Processing Transactions", "\r\rDone.");
    QVERIFY(!status.progressBar()->isVisibleTo(&desktop.window()));
    QVERIFY(status.doneButton()->isVisibleTo(&desktop.window()));
  }
};

int runWindowShapeTest(const QStringList& arguments) {
  return runTestClass<WindowShapeTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "WindowShapeTest.moc"
