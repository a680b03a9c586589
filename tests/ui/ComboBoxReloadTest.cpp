#include <QTest>
#include <string>
#include <vector>

#include "ui/CompletingComboBox.h"
#include "ui/QtText.h"
#include "ui/UiTests.h"

namespace corvela::ui::testing {

// A dialog reloads its combo boxes' lists for every transaction: what the pop-up offers and
// completes from is the latest list, whatever came before it, and the field keeps its text.
class ComboBoxReloadTest : public QObject {
  Q_OBJECT

 private slots:
  void theLatestListIsOffered() {
    using Entries = std::vector<std::string>;
    const Entries reloads[] = {
        {"Dining", "Groceries"},
        {"Dining", "Groceries"},               // unchanged
        {"Dining", "Groceries", "Household"},  // grown
        {"Dining", "Fuel", "Household"},       // as many, one different
        {"Dining", "Fuel", "Household"},
        {},
        {"Groceries"},
    };
    CompletingComboBox box;
    box.setCompletion(CompletingComboBox::Completion::listOnly);
    box.setText("Din");
    for (const Entries& entries : reloads) {
      box.setEntries(entries);
      // The person had chosen the first entry from the pop-up before the next reload.
      box.setCurrentIndex(0);
      box.setText("Din");
      box.setEntries(entries);
      QStringList offered;
      for (int i = 0; i < box.count(); ++i) offered << box.itemText(i);
      QStringList expected;
      for (const std::string& entry : entries) expected << qs(entry);
      QCOMPARE(offered, expected);
      QCOMPARE(box.entries(), entries);
      QCOMPARE(box.currentIndex(), -1);
      QCOMPARE(qs(box.text()), QStringLiteral("Din"));
    }
  }
};

int runComboBoxReloadTest(const QStringList& arguments) {
  ComboBoxReloadTest test;
  return QTest::qExec(&test, arguments);
}

}  // namespace corvela::ui::testing

#include "ComboBoxReloadTest.moc"
