#pragma once

#include <QStringList>

namespace corvela::ui::testing {

// Each test class runs through one of these, with QTest's command-line arguments.
int runCompletingComboBoxTest(const QStringList& arguments);
int runOptionsWindowTest(const QStringList& arguments);
int runQtPlatformTest(const QStringList& arguments);
int runMainWindowTest(const QStringList& arguments);
int runTransactionDialogTest(const QStringList& arguments);
int runWindowShapeTest(const QStringList& arguments);
int runListEditorWindowsTest(const QStringList& arguments);

}  // namespace corvela::ui::testing
