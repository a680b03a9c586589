#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace corvela {

class OutputFormatDefinitionDialog;

inline constexpr std::string_view kCreateOutputFormat = "Create Output Format";
inline constexpr std::string_view kEditOutputFormat = "Edit Output Format: ";  // + the name
inline constexpr std::string_view kDefineFormat = "Define Format";
inline constexpr std::string_view kAcceptChanges = "Accept Changes";
inline constexpr std::string_view kOutputFormatNameTaken =
    "An output format of this name exists already. Choose another name.";

// The titles of the dialog's choices, by tag. The selected title of the type, separator and
// amount choices is what the record stores, so the first separator title must begin with
// "Comma" and the first amount title must be "Amount".
inline constexpr std::array<std::string_view, 3> kOutputFormatTypeTitles = {"Bank", "Credit Card",
                                                                            "Investment"};
inline constexpr std::array<std::string_view, 2> kSeparatorTitles = {"Comma", "Tab"};
inline constexpr std::array<std::string_view, 2> kAmountTitles = {"Amount", "Credit and Debit"};
// Items of the splits choice, by SplitsOutput value.
inline constexpr std::array<std::string_view, 3> kSplitsOutputItems = {
    "Splits are not written", "Each split on a line of its own",
    "Splits as fields of the Splits column"};

// One output column of the column table: its identifier (what the record stores), its heading,
// and its check box.
struct OutputFormatColumnCell {
  std::string identifier;
  std::string title;
  bool present = false;
  bool operator==(const OutputFormatColumnCell&) const = default;
};

// What the output format definition dialog shows. The presenter keeps it; the view draws it
// again after every action it hands over.
struct OutputFormatDefinitionForm {
  std::string windowTitle;
  std::string okTitle;
  // OK is refused while the name is taken by another format, or empty.
  bool okEnabled = true;
  std::string name;
  // kOutputFormatNameTaken, shown while the name is taken.
  bool errorTextVisible = false;
  int typeTag = 0;  // index in kOutputFormatTypeTitles
  // False while the type is locked (a format defined for the input at hand).
  bool typeEnabled = true;
  int separatorTag = 0;
  int amountTag = 0;
  int splitsOutput = 0;  // index in kSplitsOutputItems
  // Splits are written by bank and credit-card formats only.
  bool splitsVisible = true;
  bool reformatDate = false;
  std::string reformatDateFormat;
  // The output columns in their current order.
  std::vector<OutputFormatColumnCell> columns;
};

// The definition dialog, drawn by a front end.
class OutputFormatDefinitionView {
 public:
  virtual ~OutputFormatDefinitionView() = default;
  // Runs the dialog modally over presenter.form(): hands every change the person makes to the
  // presenter's action of that name and draws the form again. Answers true when the person
  // pressed OK (only possible while form().okEnabled), false for Cancel or a closed window.
  virtual bool runDefinitionDialog(OutputFormatDefinitionDialog& presenter) = 0;
};

}  // namespace corvela
