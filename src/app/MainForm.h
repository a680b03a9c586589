#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvela {

// The main window's controls that take keyboard focus, in tab order.
enum class MainControl {
  inputFormatText,
  quickenAccountText,
  dateFromString,
  dateToString,
  outputFormatText,
  outputDateString,
  outputNumberString,
};

// A text shown in the window (a label, a prompt, a warning).
struct Label {
  std::string text;
  bool visible = true;
};

// A field the person types in.
struct TextField {
  std::string text;
  bool visible = true;
  bool editable = true;
};

// A combo box over a list: the typed text and the entries it offers.
struct ComboBox {
  std::string text;
  bool visible = true;
  std::vector<std::string> items;
  int numberOfVisibleItems = 10;
  // Whether a single entry that fits what was typed is selected by itself.
  bool completes = false;
};

// An on/off switch (check box).
struct Switch {
  bool on = false;
  bool visible = true;
  bool enabled = true;
};

// One entry of a pop-up menu: its title and the tag the processors read.
struct PopUpItem {
  std::string title;
  int tag = 0;
  bool operator==(const PopUpItem&) const = default;
};

// A pop-up button.
struct PopUp {
  std::vector<PopUpItem> items;
  int selectedIndex = 0;
  bool visible = true;

  // The selected entry's tag; 0 when nothing is selected.
  int selectedTag() const {
    if (selectedIndex < 0 || static_cast<std::size_t>(selectedIndex) >= items.size()) return 0;
    return items[static_cast<std::size_t>(selectedIndex)].tag;
  }
  // Selects `index` when there is such an entry, else the first.
  void select(int index) {
    selectedIndex = index >= 0 && static_cast<std::size_t>(index) < items.size() ? index : 0;
  }
};

// A group box of controls, shown or hidden as one.
struct Box {
  bool visible = true;
};

// A button; only its state changes.
struct Button {
  bool visible = true;
  bool enabled = true;
};

// The menu items that an input being processed disables.
enum class MenuItem : std::size_t {
  editInstructionsMenuItem,
  editDescriptionsMenuItem,
  editAccountsMenuItem,
  editCategoriesMenuItem,
  editSecuritiesMenuItem,
  editFormatsMenuItem,
  editOutputFormatsMenuItem,
  preferencesMenuItem,
  processClipboardMenuItem,
  importExtractFormatMenuItem,
  exportExtractFormatMenuItem,
};
inline constexpr std::size_t kMenuItemCount = 11;

// What the window layout asks before it shows a menu item (validateMenuItem).
struct MenuItemQuery {
  std::string title;
  // The item belongs to the menu of the QIF or the QFX type pop-up.
  bool inTypePopUp = false;
};

// Tags of the transactions choice (the radio group `whichTransactions`).
inline constexpr int kAllTransactions = 0;
inline constexpr int kLastMonth = 1;
inline constexpr int kDateRange = 2;

// Tag bits of the QIF type pop-up's entries: 1 swaps description and memo, 4 reverses the signs
// of amounts. The QFX type pop-up swaps when its entry at index 1 is selected.
inline std::vector<PopUpItem> qifTypeItems() {
  return {{"Normal", 0},
          {"Swap Description and Memo", 1},
          {"Reverse Signs of Amounts", 4},
          {"Swap Description and Memo, Reverse Signs", 5}};
}
inline std::vector<PopUpItem> qfxTypeItems() {
  return {{"Normal", 0}, {"Swap Description and Memo", 1}};
}

// A control that starts hidden.
template <typename Control>
Control hidden() {
  Control control;
  control.visible = false;
  return control;
}
inline PopUp hiddenPopUp(std::vector<PopUpItem> items) {
  PopUp popUp = hidden<PopUp>();
  popUp.items = std::move(items);
  return popUp;
}
inline ComboBox comboBoxWithText(std::string text) {
  ComboBox comboBox;
  comboBox.text = std::move(text);
  return comboBox;
}
inline Button disabledButton() {
  Button button;
  button.enabled = false;
  return button;
}

// What the main window's control view shows: every control by its role, with its text,
// visibility, enabled state and entries. The controller changes it; the view draws it
// (MainView::show) and reports what the person does by calling the controller.
struct MainForm {
  // --- input part
  Label inputFrom;         // the input's name: the file name or "Clipboard"
  Label inputAccountType;  // "Bank", "Credit Card", ..., "Unknown"
  ComboBox inputFormatText = hidden<ComboBox>();
  Label extractFormatPrompt = hidden<Label>();   // while the input-format field is empty
  Label extractFormatPrompt2 = hidden<Label>();  // while it names no known format
  PopUp qifTypePopUp = hiddenPopUp(qifTypeItems());
  PopUp qfxTypePopUp = hiddenPopUp(qfxTypeItems());

  // --- transactions part
  Box transactionsNormal;                        // the box of the normal layout
  Box transactionsContinuation = hidden<Box>();  // the box of a continued run
  int whichTransactions = kAllTransactions;      // the selected radio tag
  TextField dateFromString = hidden<TextField>();
  Label toLabel = hidden<Label>();
  TextField dateToString = hidden<TextField>();
  Label invalidRangeWarning = hidden<Label>();

  // --- account part
  ComboBox quickenAccountText;
  Label quickenAccountFixed = hidden<Label>();

  // --- output part
  ComboBox outputFormatText = comboBoxWithText("QIF");
  Label outputFormatPrompt1 = hidden<Label>();
  Label outputFormatPrompt2 = hidden<Label>();
  Label outputFormatFixed = hidden<Label>();  // the format of a continued run, not editable
  Label continuationWarning = hidden<Label>();
  Label outputFileName = hidden<Label>();
  Label outputFileMessage;
  Switch appendSwitch = hidden<Switch>();
  PopUp appendPopUp = hidden<PopUp>();
  Switch sameDateSwitch;
  TextField outputDateString;
  Switch sameNumberSwitch;
  TextField outputNumberString;

  Button processTheTransactionsButton = disabledButton();

  // --- help buttons: four for the normal layout, one for a continued run
  Button inputHelp;
  Button accountHelp;
  Button transactionsHelp;
  Button outputHelp;
  Button continuationHelp = hidden<Button>();

  // The visible focusable controls in tab order (the last one leads back to the first).
  std::vector<MainControl> tabOrder;

  // Menu items, by MenuItem, enabled or not.
  std::array<bool, kMenuItemCount> menuItems = {true, true, true, true, true, true,
                                                true, true, true, true, true};
  bool menuItemEnabled(MenuItem item) const { return menuItems[static_cast<std::size_t>(item)]; }
};

}  // namespace corvela
