#include "inputformats/Formats.h"

#include "formats/InputFormatKeys.h"
#include "lists/Completion.h"
#include "prefs/CVPrefs.h"
#include "prefs/KeyedArchive.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

namespace key = inputFormatKey;
namespace storeKey = inputFormatStoreKey;

const std::string& nameOf(const Value& record) { return str(record, key::Name); }

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::optional<std::string> completedFormatName(const Value& formats, std::string_view typed) {
  std::vector<std::string_view> names;
  names.reserve(formats.size());
  for (const Value& record : formats.toArray()) names.push_back(nameOf(record));
  std::optional<std::size_t> index =
      shortestCompletionIndex(names, typed, kLongestCompletedFormatName);
  if (!index) return std::nullopt;
  return std::string(names[*index]);
}

std::optional<Value> Formats::formatForName(std::string_view name) const {
  for (const Value& record : store_.objectForKey(storeKey::Formats).toArray())
    if (equalsIgnoringCase(nameOf(record), name)) return record;
  return std::nullopt;
}

std::optional<Value> Formats::formatAtIndex(std::size_t index) const {
  const Value& formats = store_.objectForKey(storeKey::Formats);
  if (index >= formats.size()) return std::nullopt;
  return formats[index];
}

std::size_t Formats::numberOfFormats() const {
  return store_.objectForKey(storeKey::Formats).size();
}

std::vector<std::string> Formats::names() const {
  std::vector<std::string> names;
  for (const Value& record : store_.objectForKey(storeKey::Formats).toArray())
    names.push_back(nameOf(record));
  return names;
}

std::size_t Formats::addFormat(const Value& record) {
  if (record.contains(key::OFX)) {
    store_.setObject(storeKey::OFXFormat, record);
    store_.synchronize();
    return 0;
  }
  Value added = record;
  for (std::string_view mappings : {key::TypeMappings, key::SecurityMappings}) {
    const Value& shared = store_.objectForKey(mappings);
    if (!added.contains(mappings) && !shared.isNull()) added.set(mappings, shared);
  }
  Value formats = store_.objectForKey(storeKey::Formats);
  if (!formats.isArray()) formats = Value::array();
  const std::string& name = nameOf(added);
  std::size_t position = 0;
  for (; position < formats.size(); ++position) {
    int order = caseInsensitiveCompare(nameOf(formats[position]), name);
    if (order == 0) {
      formats.mutableArray()[position] = std::move(added);
      break;
    }
    if (order > 0) {
      formats.insert(position, std::move(added));
      break;
    }
  }
  if (position == formats.size()) formats.append(std::move(added));
  store_.setObject(storeKey::Formats, std::move(formats));
  store_.synchronize();
  return position;
}

void Formats::deleteFormatAtIndex(std::size_t index) {
  Value formats = store_.objectForKey(storeKey::Formats);
  if (index >= formats.size()) return;
  formats.removeAt(index);
  store_.setObject(storeKey::Formats, std::move(formats));
  store_.synchronize();
}

Value Formats::getExtractFormatsArray() const {
  const Value& formats = store_.objectForKey(storeKey::Formats);
  return formats.isArray() ? formats : Value::array();
}

void Formats::setExtractFormatsArray(Value formats) {
  store_.setObject(storeKey::Formats, std::move(formats));
  store_.synchronize();
}

std::string Formats::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0) return "";
  std::optional<Value> record = formatAtIndex(static_cast<std::size_t>(index));
  return record ? nameOf(*record) : "";
}

long Formats::comboBoxIndexOfItemWithStringValue(std::string_view name) const {
  const Value::Array& formats = store_.objectForKey(storeKey::Formats).toArray();
  for (std::size_t i = 0; i < formats.size(); ++i)
    if (nameOf(formats[i]) == name) return static_cast<long>(i);
  return kFormatNotFound;
}

std::optional<std::string> Formats::comboBoxCompletedString(std::string_view typed) const {
  return completedFormatName(store_.objectForKey(storeKey::Formats), typed);
}

Status Formats::exportFormat(std::string_view name, const std::string& path) const {
  std::optional<Value> record = formatForName(name);
  if (!record)
    return Status::Error("There is no input format named \"" + std::string(name) +
                         "\"; nothing was written to " + quoted(path) + ".");
  return writeKeyedArchiveFile(path, *record);
}

Result<Value> Formats::readExportedFormat(const std::string& path) {
  Result<Value> read = readKeyedArchiveFile(path);
  if (!read.ok()) return read;
  if (!read.value().isDictionary() || !read.value()[key::Name].isString())
    return Status::Error(quoted(path) + " holds no input format: it is a keyed archive, but not " +
                         "of an input format with a name.");
  return read;
}

}  // namespace corvela
