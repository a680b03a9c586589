#pragma once

#include <QDialog>

#include "inputformats/FormatRename.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvela::ui {

// The window that names an imported input format: the name field, a warning while a stored
// format has that name (OK then replaces it), OK and Cancel. It draws the presenter's form and
// hands every change of the field to it; the presenter is borrowed for the window's life.
class FormatRenameWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FormatRenameWindow(FormatRename& presenter, QWidget* parent = nullptr);

  QLineEdit* nameField() const { return name_; }
  QLabel* duplicateMessage() const { return duplicate_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void draw();

  FormatRename& presenter_;
  QLineEdit* name_;
  QLabel* duplicate_;
  QPushButton* ok_;
};

// The front end's FormatRenameView: each import runs a FormatRenameWindow modally over the
// window given (borrowed; it must outlive this object).
class FormatRenameWindows : public FormatRenameView {
 public:
  explicit FormatRenameWindows(QWidget* parent) : parent_(parent) {}
  bool runRenameWindow(FormatRename& presenter) override;

 private:
  QWidget* parent_;
};

}  // namespace corvela::ui
