#pragma once

#include <QDialog>
#include <array>

#include "editors/OutputFormatDefinitionDialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace corvela::ui {

class OutputFormatColumnModel;

// The output format definition dialog: the name with its error text, the kind of account,
// comma or tab, the amount layout, how splits are written, the date rewriting and the column
// table, whose headings are dragged to reorder the columns. From the keyboard, Ctrl+Left and
// Ctrl+Right move the current column, Space writes it or leaves it out and Delete leaves it out;
// Return is OK and Escape Cancel. It draws the presenter's form and hands every change to it;
// the presenter is borrowed for the window's life.
class OutputFormatDefinitionWindow : public QDialog {
  Q_OBJECT

 public:
  explicit OutputFormatDefinitionWindow(OutputFormatDefinitionDialog& presenter,
                                        QWidget* parent = nullptr);

  QLineEdit* nameField() const { return name_; }
  QLabel* errorText() const { return error_; }
  QRadioButton* typeButton(int tag) const { return types_[static_cast<std::size_t>(tag)]; }
  QRadioButton* separatorButton(int tag) const {
    return separators_[static_cast<std::size_t>(tag)];
  }
  QRadioButton* amountButton(int tag) const { return amounts_[static_cast<std::size_t>(tag)]; }
  QComboBox* splitsChoice() const { return splits_; }
  QCheckBox* reformatSwitch() const { return reformat_; }
  QLineEdit* patternField() const { return pattern_; }
  QTableView* columnTable() const { return table_; }
  QPushButton* okButton() const { return ok_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void draw();
  // Moves the current column of the table by `step` places, as a drag would.
  void moveCurrentColumn(int step);
  void columnDragged(int fromVisual, int toVisual);

  OutputFormatDefinitionDialog& presenter_;
  QLineEdit* name_;
  QLabel* error_;
  std::array<QRadioButton*, 3> types_{};
  std::array<QRadioButton*, 2> separators_{};
  std::array<QRadioButton*, 2> amounts_{};
  QLabel* splitsLabel_;
  QComboBox* splits_;
  QCheckBox* reformat_;
  QLineEdit* pattern_;
  QTableView* table_;
  OutputFormatColumnModel* model_;
  QPushButton* ok_;
  // Set while the window puts a dragged heading back, so the move is not taken twice.
  bool undoingDrag_ = false;
};

// The front end's OutputFormatDefinitionView: each definition runs an
// OutputFormatDefinitionWindow modally over the window given (borrowed; it must outlive this
// object).
class OutputFormatDefinitionWindows : public OutputFormatDefinitionView {
 public:
  explicit OutputFormatDefinitionWindows(QWidget* parent) : parent_(parent) {}
  bool runDefinitionDialog(OutputFormatDefinitionDialog& presenter) override;

 private:
  QWidget* parent_;
};

}  // namespace corvela::ui
