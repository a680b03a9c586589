#include "lists/Securities.h"

#include <vector>

#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

bool isSecurityRecord(const Value& entry) {
  return entry.isDictionary() && entry[securityKey::Name].isString();
}

// The names of the list in list order; entries that are no security record count as "".
std::vector<std::string_view> namesOf(const Value& list) {
  std::vector<std::string_view> names;
  names.reserve(list.size());
  for (const Value& entry : list.toArray())
    names.push_back(isSecurityRecord(entry) ? std::string_view(str(entry, securityKey::Name))
                                            : std::string_view());
  return names;
}

}  // namespace

bool Securities::exists() const {
  const Value& list = prefs_.objectForKey(prefKey::Securities);
  return list.isArray() && list.size() > 0;
}

Value Securities::getSecuritiesArray() const {
  const Value& list = prefs_.objectForKey(prefKey::Securities);
  return list.isArray() ? list : Value::array();
}

void Securities::setSecuritiesArray(Value securities) {
  prefs_.setObject(prefKey::Securities, std::move(securities));
  prefs_.synchronize();
}

std::optional<std::string> Securities::quickenSecurityForSymbol(std::string_view symbol) {
  lastFound_ = -1;
  if (symbol.empty()) return std::nullopt;
  Value list = getSecuritiesArray();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Value& entry = list[i];
    if (isSecurityRecord(entry) && entry[securityKey::Symbol].isString() &&
        str(entry, securityKey::Symbol) == symbol) {
      lastFound_ = static_cast<long>(i);
      return str(entry, securityKey::Name);
    }
  }
  return std::nullopt;
}

bool Securities::securityFound(std::string_view name) const {
  Value list = getSecuritiesArray();
  for (std::string_view entry : namesOf(list))
    if (entry == name) return true;
  return false;
}

std::optional<std::string> Securities::quickenSecurityFromMappingFor(std::string_view text,
                                                                     const Value& format) {
  lastFound_ = -1;
  if (text.empty()) return std::nullopt;
  const Value& mappings = format[securityMappingKey::SecurityMappings];
  for (std::size_t i = 0; i < mappings.size(); ++i) {
    const Value& mapping = mappings[i];
    if (mapping.isDictionary() && mapping[securityMappingKey::formatName].isString() &&
        str(mapping, securityMappingKey::formatName) == text) {
      lastFound_ = static_cast<long>(i);
      return str(mapping, securityMappingKey::quickenName);
    }
  }
  return std::nullopt;
}

void Securities::addSecurity(std::string_view text, std::string_view quickenSecurity, Value& format,
                             const FormatSaver& save) {
  Value mappings = format[securityMappingKey::SecurityMappings];
  if (!mappings.isArray()) mappings = Value::array();
  mappings.append(Value{{std::string(securityMappingKey::formatName), Value(text)},
                        {std::string(securityMappingKey::quickenName), Value(quickenSecurity)}});
  format.set(securityMappingKey::SecurityMappings, std::move(mappings));
  save(format);

  if (securityFound(quickenSecurity)) return;
  Value list = getSecuritiesArray();
  std::vector<std::string_view> names = namesOf(list);
  std::size_t at = 0;
  while (at < names.size() && caseInsensitiveCompare(names[at], quickenSecurity) <= 0) ++at;
  list.insert(at, Value{{std::string(securityKey::Name), Value(quickenSecurity)},
                        {std::string(securityKey::Symbol), Value("")}});
  setSecuritiesArray(std::move(list));
}

void Securities::deleteSecurityInFormat(Value& format, const FormatSaver& save) {
  if (lastFound_ < 0) return;
  Value mappings = format[securityMappingKey::SecurityMappings];
  if (!mappings.isArray() || static_cast<std::size_t>(lastFound_) >= mappings.size()) return;
  mappings.removeAt(static_cast<std::size_t>(lastFound_));
  format.set(securityMappingKey::SecurityMappings, std::move(mappings));
  lastFound_ = -1;
  save(format);
}

long Securities::numberOfItemsInComboBox() const {
  return static_cast<long>(getSecuritiesArray().size());
}

std::string Securities::comboBoxObjectValueForItemAtIndex(long index) const {
  Value list = getSecuritiesArray();
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return "";
  const Value& entry = list[static_cast<std::size_t>(index)];
  return isSecurityRecord(entry) ? str(entry, securityKey::Name) : "";
}

long Securities::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  Value list = getSecuritiesArray();
  std::vector<std::string_view> names = namesOf(list);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (isSecurityRecord(list[i]) && names[i] == value) return static_cast<long>(i);
  return kComboBoxNotFound;
}

std::optional<std::string> Securities::comboBoxCompletedString(std::string_view prefix) const {
  Value list = getSecuritiesArray();
  std::vector<std::string_view> names;
  for (std::string_view name : namesOf(list))
    if (!name.empty()) names.push_back(name);
  std::optional<std::size_t> found = shortestCompletionIndex(names, prefix);
  if (!found) return std::nullopt;
  return std::string(names[*found]);
}

EditDecision Securities::isPartialStringValid(const TextEdit& edit) {
  Value list = getSecuritiesArray();
  std::vector<std::string_view> names;
  for (std::string_view name : namesOf(list))
    if (!name.empty()) names.push_back(name);
  ListEditResult result = completeListTyping(edit, typed_, names, /*subcategories=*/false);
  typed_ = std::move(result.typed);
  return std::move(result.decision);
}

}  // namespace corvela
