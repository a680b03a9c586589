#pragma once

#include <string>

namespace corvela {

class Formats;

// What the rename window of an imported input format shows.
struct FormatRenameForm {
  std::string name;                  // the name field formatNameField
  bool okEnabled = false;            // okButton: only with a name
  bool duplicateMsgVisible = false;  // duplicateMsg: a format of that name exists already
};

// The rename window's logic: the person names an imported format, and is told (not stopped)
// when the name is taken, since OK then replaces the stored format of that name. The formats
// are borrowed and must outlive the presenter.
class FormatRename {
 public:
  FormatRename(const Formats& formats, std::string name);

  // The name field changed.
  void controlTextDidChange(std::string text);
  const FormatRenameForm& form() const { return form_; }

 private:
  const Formats& formats_;
  FormatRenameForm form_;
};

// The rename window, drawn by a front end.
class FormatRenameView {
 public:
  virtual ~FormatRenameView() = default;
  // Runs the window modally: shows presenter.form(), hands every change of the name field to
  // presenter.controlTextDidChange and shows the form again. True when the person pressed OK
  // (only possible while form().okEnabled), false for cancel.
  virtual bool runRenameWindow(FormatRename& presenter) = 0;
};

}  // namespace corvela
