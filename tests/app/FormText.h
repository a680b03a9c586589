#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/MainForm.h"
#include "support/FileText.h"

namespace corvela::testing {

// The main window's form as a person sees it: one line per visible control with its text,
// state and entries, then the tab order and the enabled menu items. Golden files hold these.
inline std::string describe(const MainForm& f) {
  std::string out;
  auto line = [&](const char* name, bool visible, const std::string& rest) {
    if (visible) out += std::string(name) + ":" + rest + "\n";
  };
  auto text = [](const std::string& t) { return t.empty() ? t : " " + t; };
  auto label = [&](const char* n, const Label& l) { line(n, l.visible, text(l.text)); };
  auto field = [&](const char* n, const TextField& t) {
    line(n, t.visible, text(t.text) + (t.editable ? "" : " (fixed)"));
  };
  auto combo = [&](const char* n, const ComboBox& c) {
    std::string items;
    for (const std::string& item : c.items) items += " |" + item;
    line(n, c.visible,
         text(c.text) + (items.empty() ? "" : " [" + items + " ]") +
             (c.completes ? " (completes " + std::to_string(c.numberOfVisibleItems) + ")" : ""));
  };
  auto onOff = [&](const char* n, const Switch& s) {
    line(n, s.visible, std::string(s.on ? " on" : " off") + (s.enabled ? "" : " (disabled)"));
  };
  // The type pop-ups' entries are fixed: only the one selected is shown.
  auto popUp = [&](const char* n, const PopUp& p, bool withItems) {
    std::string items;
    for (std::size_t i = 0; i < p.items.size(); ++i)
      if (withItems || int(i) == p.selectedIndex)
        items += " |" + p.items[i].title + "=" + std::to_string(p.items[i].tag);
    line(n, p.visible, " #" + std::to_string(p.selectedIndex) + items);
  };
  auto button = [&](const char* n, const Button& b) {
    line(n, b.visible, b.enabled ? "" : " (disabled)");
  };
  label("inputFrom", f.inputFrom);
  label("inputAccountType", f.inputAccountType);
  combo("inputFormatText", f.inputFormatText);
  label("extractFormatPrompt", f.extractFormatPrompt);
  label("extractFormatPrompt2", f.extractFormatPrompt2);
  popUp("qifTypePopUp", f.qifTypePopUp, false);
  popUp("qfxTypePopUp", f.qfxTypePopUp, false);
  line("transactionsNormal", f.transactionsNormal.visible,
       " which=" + std::to_string(f.whichTransactions));
  line("transactionsContinuation", f.transactionsContinuation.visible, "");
  field("dateFromString", f.dateFromString);
  label("toLabel", f.toLabel);
  field("dateToString", f.dateToString);
  label("invalidRangeWarning", f.invalidRangeWarning);
  combo("quickenAccountText", f.quickenAccountText);
  label("quickenAccountFixed", f.quickenAccountFixed);
  combo("outputFormatText", f.outputFormatText);
  label("outputFormatPrompt1", f.outputFormatPrompt1);
  label("outputFormatPrompt2", f.outputFormatPrompt2);
  label("outputFormatFixed", f.outputFormatFixed);
  label("continuationWarning", f.continuationWarning);
  label("outputFileName", f.outputFileName);
  label("outputFileMessage", f.outputFileMessage);
  onOff("appendSwitch", f.appendSwitch);
  popUp("appendPopUp", f.appendPopUp, true);
  onOff("sameDateSwitch", f.sameDateSwitch);
  field("outputDateString", f.outputDateString);
  onOff("sameNumberSwitch", f.sameNumberSwitch);
  field("outputNumberString", f.outputNumberString);
  button("processTheTransactionsButton", f.processTheTransactionsButton);
  button("inputHelp", f.inputHelp);
  button("accountHelp", f.accountHelp);
  button("transactionsHelp", f.transactionsHelp);
  button("outputHelp", f.outputHelp);
  button("continuationHelp", f.continuationHelp);
  static constexpr const char* kControls[] = {"inputFormat",  "account",    "dateFrom",    "dateTo",
                                              "outputFormat", "outputDate", "outputNumber"};
  out += "tab order:";
  for (MainControl control : f.tabOrder) out += std::string(" ") + kControls[int(control)];
  out += "\nmenus: ";
  for (bool enabled : f.menuItems) out += enabled ? '1' : '0';
  return out + "\n";
}

// Compares `actual` with the golden file tests/data/app/golden/NAME.txt (see expectDataFile).
inline void expectGolden(const std::string& name, const std::string& actual) {
  expectDataFile("app/golden/" + name + ".txt", actual);
}

}  // namespace corvela::testing
