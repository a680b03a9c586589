#include "prefs/Preferences.h"

#include "platform/Platform.h"
#include "prefs/CVPrefs.h"

namespace corvela {
namespace {

const Alert kFirstRunAlert{
    "Corvela First Run",
    "Will your primary use of Corvela be to convert data from one format to another without "
    "modification, or to categorize transactions?\r\rYour answer will be used to default the "
    "preferences, which can later be changed to customize Corvela in many different ways.",
    {"Just Convert", "Categorize"}};
constexpr int kJustConvert = 0;

void setIfAbsent(CVPrefs& prefs, std::string_view key, Value value) {
  if (!prefs.objectForKey(key).isNull()) return;
  prefs.setObject(key, std::move(value));
}

}  // namespace

int Preferences::find(std::string_view name) const {
  if (listRead_ != prefs_.changeCount()) {
    names_.clear();
    for (const Value& entry : prefs_.objectForKey(prefKey::Preferences).toArray())
      names_.push_back(entry.isString() ? std::optional<std::string>(entry.toString())
                                        : std::nullopt);
    listRead_ = prefs_.changeCount();
  }
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == name) return static_cast<int>(i);
  return kNotFound;
}

void Preferences::add(std::string_view name) {
  if (isOn(name)) return;
  Value list = prefs_.objectForKey(prefKey::Preferences);
  if (!list.isArray()) list = Value::array();
  list.append(Value(name));
  prefs_.setObject(prefKey::Preferences, std::move(list));
}

void Preferences::remove(std::string_view name) {
  int index = find(name);
  if (index == kNotFound) return;
  Value list = prefs_.objectForKey(prefKey::Preferences);
  list.removeAt(static_cast<std::size_t>(index));
  prefs_.setObject(prefKey::Preferences, std::move(list));
}

void Preferences::normalizeOptionList(Platform& platform,
                                      const std::function<void()>& addAccountsToCategories) {
  if (!prefs_.objectForKey(prefKey::Preferences).isArray()) {
    prefs_.setObject(prefKey::Preferences, Value::array());
    if (platform.runAlert(kFirstRunAlert) == kJustConvert) add(option::dontAddCategories);
  } else {
    if (!isOn(option::converted2_2)) add(option::quicken2003);
    if (!prefs_.objectForKey(prefKey::qifCancelDontAsk).isNull() ||
        !prefs_.objectForKey(prefKey::invCancelDontAsk).isNull()) {
      prefs_.removeObjectForKey(prefKey::qifCancelDontAsk);
      prefs_.removeObjectForKey(prefKey::invCancelDontAsk);
    }
  }
  if (!isOn(option::converted2_2)) {
    add(option::textConfirmAllTransactions);
    add(option::converted2_2);
  }
  remove(option::dontConfirmCancel);
  if (!isOn(option::accountsInCategories)) {
    addAccountsToCategories();
    add(option::accountsInCategories);
  }

  if (prefs_.objectForKey(prefKey::amountsPrecision).isNull()) {
    prefs_.setInt(prefKey::amountsPrecision, 2);
    prefs_.setInt(prefKey::pricesPrecision, 4);
    prefs_.setInt(prefKey::sharesPrecision, 2);
  }
  if (prefs_.objectForKey(prefKey::OutputDateFormat).isNull()) {
    prefs_.setObject(prefKey::OutputDateFormat, "%m/%d/%Y");
    prefs_.setObject(prefKey::OutputDateFormatShortYear, "%m/%d/%y");
  }
}

void Preferences::writeOutputDefaults() {
  setIfAbsent(prefs_, prefKey::DescriptionOutput, "%d");
  setIfAbsent(prefs_, prefKey::MemoOutput, "%m");
  setIfAbsent(prefs_, prefKey::bccAmountsPrecision, 2);
  if (prefs_.objectForKey(prefKey::SUEnableAutomaticChecks).isNull() &&
      prefs_.boolForKey(prefKey::CheckForUpdates))
    prefs_.setBool(prefKey::SUEnableAutomaticChecks, true);
}

}  // namespace corvela
