// Every control can be named by a screen reader, and every window reads in a dark palette.
#include "ui/DarkPalette.h"
#include "ui/NewInstructionPane.h"
#include "ui/OptionsWindow.h"
#include "ui/TestDesktop.h"

namespace corvela::ui::testing {
namespace {

bool isControl(QWidget* w) {
  // A combo box's own line edit and drop-down list speak for the combo box.
  for (QWidget* up = w->parentWidget(); up; up = up->parentWidget())
    if (qobject_cast<QComboBox*>(up)) return false;
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
         qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTabBar*>(w);
}

// The controls of `window` that have neither an accessible name nor a label naming them.
QStringList unnamed(QWidget* window) {
  QSet<QWidget*> labelled;
  for (QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy()) labelled << label->buddy();
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!isControl(w) || w->focusPolicy() == Qt::NoFocus || labelled.contains(w)) continue;
    // On Linux a combo box's accessible name is its text; its own name goes out as a label.
    if (!w->accessibleName().isEmpty()) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w);
    if (accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty()) continue;
    found << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                         w->objectName());
  }
  return found;
}

double luminance(const QColor& color) {
  auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
         0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The labels of `window` whose text hardly stands out from the window behind it, and the
// widgets that fix a colour of their own.
QStringList hardToRead(QWidget* window) {
  QStringList found;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->styleSheet().contains(QStringLiteral("color"))) found << w->objectName();
    auto* label = qobject_cast<QLabel*>(w);
    if (!label) continue;
    QColor text = label->palette().color(label->foregroundRole());
    QColor behind = window->palette().color(QPalette::Window);
    if (contrast(text, behind) < 3.0) found << label->objectName() + " " + label->text().left(20);
  }
  return found;
}

// Each window of the program in the state a person meets it in, one after the other.
void forEachWindow(const std::function<void(const QString&, QWidget*)>& check) {
  TestDesktop desktop([](CVPrefs& store) {
    store.setObject("Preferences", Value::Array{"converted2.2", "confirmAllTransactions"});
  });
  check(QStringLiteral("start"), &desktop.window());
  QVERIFY(desktop.desktop->openFile(desktop.write(
      "two.qif", "!Type:Bank\nD03/01/2024\nT-4.50\nPCOFFEE\n^\nD03/02/2024\nT-9\nPNEW SHOP\n^\n")));
  check(QStringLiteral("controls"), &desktop.window());
  desktop.savePanelAnswer = desktop.path("out.qif");
  desktop.controls().processButton()->click();
  TransactionDialog* dialog = desktop.desktop->transactionDialog();
  QTRY_VERIFY(dialog->isVisible());
  check(QStringLiteral("confirmation"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("okButton"))->click();
  QTRY_VERIFY(dialog->newInstructionPane()->isVisible());
  check(QStringLiteral("new instruction"), dialog);
  dialog->findChild<QAbstractButton*>(QStringLiteral("skipRemainingButton"))->click();
  QTRY_VERIFY(!dialog->isVisible());
  check(QStringLiteral("report"), &desktop.window());
  desktop.status().doneButton()->click();
  desktop.desktop->optionsDialog().display();
  check(QStringLiteral("options"), &desktop.desktop->optionsWindow());
  desktop.desktop->optionsWindow().close();
  desktop.desktop->showAbout();
  check(QStringLiteral("about"), desktop.desktop->aboutWindow());
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  // One walk in a dark palette: names do not depend on the colours.
  void everyControlIsNamedAndReadsInADarkPalette() {
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    forEachWindow([](const QString& window, QWidget* widget) {
      const QStringList faults = unnamed(widget) + hardToRead(widget);
      QVERIFY2(faults.isEmpty(), qPrintable(window + ": " + faults.join(QStringLiteral(", "))));
    });
    QApplication::setPalette(light);
  }
};

int runAccessibilityTest(const QStringList& arguments) {
  return runTestClass<AccessibilityTest>(arguments);
}

}  // namespace corvela::ui::testing

#include "AccessibilityTest.moc"
