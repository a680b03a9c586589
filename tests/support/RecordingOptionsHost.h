#pragma once

#include <string>
#include <vector>

#include "app/OptionsDialog.h"
#include "prefs/CVPrefs.h"

namespace corvela::testing {

// The controller's side of the options dialog, as the controller does it, with a record.
class RecordingOptionsHost : public OptionsDialogHost {
 public:
  explicit RecordingOptionsHost(CVPrefs& store) : store_(store) {}
  void disableMenuItems() override { menusEnabled = false; }
  void enableMenuItems() override { menusEnabled = true; }
  void setDateFormatters(const std::string& monthDayPattern) override {
    patterns.push_back(monthDayPattern);
    storeOutputDateFormats(store_, monthDayPattern);
  }

  bool menusEnabled = true;
  std::vector<std::string> patterns;

 private:
  CVPrefs& store_;
};

// Every on/off switch of the options form.
inline std::vector<OptionSwitch*> everySwitch(OptionsForm& f) {
  // clang-format off
  return {&f.append, &f.showAllAccountNames, &f.runAutomatically, &f.qifConfirmAllTransactions,
          &f.textConfirmAllTransactions, &f.treatMemoAsDescription, &f.leaveBlankDescriptionsBlank,
          &f.longestMatch, &f.matchDescriptionWithContains, &f.quicken2003, &f.formatFirstMatch,
          &f.useOFXTRNTYPE, &f.initialCaps, &f.europeanDates, &f.secondQIFEuropeanDates,
          &f.outputEuropeanDates, &f.outputEuropeanAmounts, &f.outputDashDates,
          &f.removeLongNumber, &f.updateCategoryWhenDescriptionChanged, &f.checkForUpdates};
  // clang-format on
}

}  // namespace corvela::testing
