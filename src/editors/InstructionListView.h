#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "banking/RunTally.h"

namespace corvela {

inline constexpr std::string_view kInstructionListTitle = "Instructions";
// The Type column of an instruction keyed on the description, and of one keyed on the
// category the input carries.
inline constexpr std::string_view kDescriptionType = "Description";
inline constexpr std::string_view kCategoryType = "Category";

// One row of the instruction list.
struct InstructionListRow {
  std::string match;
  std::string type;  // kDescriptionType or kCategoryType
  // How many transactions of the most recent run this instruction matched.
  int matches = 0;
  // The instruction's position in the stored list.
  std::size_t index = 0;
  bool operator==(const InstructionListRow&) const = default;
};

// What the list window shows: the stored instructions in stored order, narrowed to those whose
// match string contains the filter text (ignoring case), and the transactions of the most
// recent run that the selected one matched.
struct InstructionListForm {
  std::string title = std::string(kInstructionListTitle);
  std::string filter;
  std::vector<InstructionListRow> rows;
  // The selected row (an index into rows); none when no row is selected.
  std::optional<std::size_t> selectedRow;
  // The transactions of the most recent run that the selected instruction matched, in run
  // order; empty without a selection.
  std::vector<InstructionMatch> matchedTransactions;
  // Edit and Delete act on the selected row.
  bool editEnabled = false;
  bool deleteEnabled = false;
  bool operator==(const InstructionListForm&) const = default;
};

// The list window of the instruction editor. It reports to EditInstructions the filter text
// as it is typed (listFilterChanged), the selection (listSelectionChanged), and its actions
// (editEntryAtIndex, deleteSelectedInstruction, closeList).
class InstructionListView {
 public:
  virtual ~InstructionListView() = default;
  // Opens the window, filled from `form`, with the keyboard in the list.
  virtual void showList(const InstructionListForm& form) = 0;
  // Redraws the open window from `form`.
  virtual void updateList(const InstructionListForm& form) = 0;
  virtual void closeList() = 0;
};

}  // namespace corvela
