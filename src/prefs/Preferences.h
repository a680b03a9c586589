#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prefs/OptionNames.h"

namespace corvela {

class CVPrefs;
class Platform;

// The option list: the names of the yes/no settings that are on, kept under
// prefKey::Preferences in the preference store. Read afresh whenever the store changed, so a
// change takes effect at once for everyone who asks. Holds a reference to the store, which must
// outlive it.
class Preferences {
 public:
  // What find() answers for a name that is not in the list.
  static constexpr int kNotFound = 0x7fffffff;

  explicit Preferences(CVPrefs& prefs) : prefs_(prefs) {}

  // The index of `name` in the option list, or kNotFound when it is absent or there is no list.
  int find(std::string_view name) const;
  // Whether the option `name` is on.
  bool isOn(std::string_view name) const { return find(name) != kNotFound; }
  // Switches `name` on: adds it unless it is there and stores the list (creating it when
  // absent). The file is not written.
  void add(std::string_view name);

  // Start-up, before anything reads options: brings the option list to the current layout,
  // asking the first-run question through `platform` when there is no list yet, calls
  // `addAccountsToCategories` once in the store's life (the category list takes in the
  // accounts as "[Name]" entries), and writes the precision and date-pattern defaults that are
  // absent. The file is not written.
  void normalizeOptionList(Platform& platform,
                           const std::function<void()>& addAccountsToCategories);
  // Start-up, after the update question has been answered: writes the output-template and
  // bank-amount-precision defaults that are absent, and takes the update answer over as
  // SUEnableAutomaticChecks when that is absent. The file is not written.
  void writeOutputDefaults();

 private:
  void remove(std::string_view name);

  CVPrefs& prefs_;
  // The list's names as the store held them at change count listRead_ (an entry that is no
  // text as none: nothing finds it). A run asks for options thousands of times.
  mutable std::vector<std::optional<std::string>> names_;
  mutable std::uint64_t listRead_ = UINT64_MAX;
};

}  // namespace corvela
