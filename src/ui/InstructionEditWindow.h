#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "editors/InstructionEditView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace corvela {
class EditInstructions;
}

namespace corvela::ui {

class SplitTableModel;
class InstructionSplitTable;

// The instruction editor's edit dialog: the match field with its help and warning, and two
// tabs: the instruction (category or splits, new description and memo, confirm and
// cheque-number switches) and, for an instruction with amount instructions, the amount tab
// (the amount chosen, its description, category or splits, memo and confirm switch, Delete
// Amount). Below them Add/Remove Splits, Delete, Cancel and Save. Return saves, Escape
// cancels. It draws the editor's form and hands every change to it; the editor is borrowed
// (attach) and must outlive the window or be detached first.
class InstructionEditWindow : public QDialog, public InstructionEditView {
  Q_OBJECT

 public:
  explicit InstructionEditWindow(QWidget* parent = nullptr);
  ~InstructionEditWindow() override;
  void attach(EditInstructions* editor) { editor_ = editor; }

  void showEditor(const InstructionEditForm& form) override;
  void updateEditor(const InstructionEditForm& form) override;
  void endEditing() override;
  void closeEditor() override;

  QLineEdit* matchField() const { return match_; }
  QLineEdit* categoryField() const { return category_; }
  QTabWidget* tabs() const { return tabs_; }
  InstructionSplitTable* splitTable() const { return splits_; }
  InstructionSplitTable* amountSplitTable() const { return amountSplits_; }
  QPushButton* saveButton() const { return save_; }
  QPushButton* addRemoveSplitsButton() const { return addRemoveSplits_; }

 protected:
  void reject() override;

 private:
  void draw(const InstructionEditForm& form);
  // Runs `action` on the editor and draws what it shows now.
  void act(const std::function<void(EditInstructions&)>& action);
  QLineEdit* textField(const char* name, InstructionEditField field);
  QCheckBox* switchBox(const QString& title, const char* name, InstructionEditSwitch which);

  EditInstructions* editor_ = nullptr;
  bool drawing_ = false;
  // The window the dialog was opened over (the list, or the transaction dialog), which gets
  // the keyboard back when it closes.
  QPointer<QWidget> openedOver_;
  QLabel* matchLabel_;
  QLineEdit* match_;
  QLabel* matchHelp_;
  QLabel* matchWarning_;
  QTabWidget* tabs_;
  QWidget* amountTab_;
  // Regular tab.
  QStackedWidget* categoryArea_;
  QLineEdit* category_;
  QLabel* categoryWarning_;
  QCheckBox* useDescription_;
  QLineEdit* newDescription_;
  QCheckBox* useMemo_;
  QLineEdit* newMemo_;
  QCheckBox* categoryConfirm_;
  QCheckBox* extractNumber_;
  InstructionSplitTable* splits_;
  // Amount tab.
  QComboBox* amount_;
  QLineEdit* amountDescription_;
  QStackedWidget* amountCategoryArea_;
  QLineEdit* amountCategory_;
  QLabel* amountCategoryWarning_;
  QCheckBox* amountConfirm_;
  QCheckBox* amountUseMemo_;
  QLineEdit* amountMemo_;
  InstructionSplitTable* amountSplits_;
  // Buttons.
  QPushButton* addRemoveSplits_;
  QPushButton* save_;
};

}  // namespace corvela::ui
