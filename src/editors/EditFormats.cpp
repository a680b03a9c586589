#include "editors/EditFormats.h"

#include <algorithm>

#include "editors/MappingDeletion.h"
#include "formats/InputFormatKeys.h"
#include "inputformats/Formats.h"
#include "platform/Platform.h"
#include "prefs/Bundle.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

namespace key = inputFormatKey;
namespace mapKey = formatMappingKey;

constexpr std::string_view quickenTypeString = "quickenTypeString";
constexpr std::string_view assumeDollar = "assumeDollar";
// A type mapping's quickenType: skip the transaction, or the type with an assumed dollar
// amount (the flag added to the type's index).
constexpr std::int64_t kAlwaysSkip = 100;
constexpr std::int64_t kAssumeDollarFlag = 64;

bool hasEntries(const Value& record, std::string_view key) { return record[key].size() > 0; }

TableColumn shown(std::string_view key, std::string title) {
  return TableColumn(std::string(key), std::move(title), ColumnKind::Text, {}, false);
}

}  // namespace

void EditFormats::beginEditing(TableEditorView& view) {
  Value formats = formats_.getExtractFormatsArray();
  if (formats.size() == 0) {
    platform_.showStatus("Nothing To Edit", "\r\r\rThere are no Input Formats to edit.");
    return;
  }
  host_.disableMenuItems();
  for (Value& format : formats.mutableArray()) {
    if (format[key::dontWarn].toBool())
      format.erase(key::Warn);
    else
      format.set(key::Warn, Value(true));
  }
  view_ = &view;
  message_.clear();
  duplicateEnabled_ = deleteTypesEnabled_ = deleteSecuritiesEnabled_ = false;
  bool ok = runTable(view, std::move(formats),
                     {{std::string(key::Name), "Name"},
                      {std::string(key::Match), "Match"},
                      {std::string(key::Warn), "Warn", ColumnKind::CheckBox}});
  view_ = nullptr;
  if (ok) {
    Value::Array edited = table().array().toArray();
    for (Value& format : edited) {
      if (format[key::Warn].toBool())
        format.erase(key::dontWarn);
      else
        format.set(key::dontWarn, Value(true));
    }
    // Renames may have moved a name out of its place; the store keeps the list by name.
    std::stable_sort(edited.begin(), edited.end(), [](const Value& a, const Value& b) {
      return caseInsensitiveCompare(str(a, key::Name), str(b, key::Name)) < 0;
    });
    formats_.setExtractFormatsArray(Value(std::move(edited)));
  }
  host_.enableMenuItems();
}

TableEditorForm EditFormats::form() const {
  TableEditorForm form("Edit Input Formats", false);
  form.buttons = {
      {std::string(kDuplicate), "Duplicate", duplicateEnabled_},
      {std::string(kDeleteTypes), "Delete Types...", deleteTypesEnabled_},
      {std::string(kDeleteSecurities), "Delete Securities...", deleteSecuritiesEnabled_}};
  form.message = message_;
  return form;
}

void EditFormats::perform(const std::string& action) {
  message_.clear();
  if (action == kDuplicate) duplicateSelectedTableEntry();
  if (action == kDeleteTypes) deleteTypes();
  if (action == kDeleteSecurities) deleteSecurities();
}

void EditFormats::tableArraySelectionDidChange(TableArray&) { updateButtons(); }

void EditFormats::updateButtons() {
  int count = table().numberOfSelectedRows();
  duplicateEnabled_ = count == 1;
  if (count == 0) deleteTypesEnabled_ = deleteSecuritiesEnabled_ = false;
  if (count == 1) {
    const Value& format = table().array()[static_cast<std::size_t>(table().selectedRow())];
    deleteTypesEnabled_ = hasEntries(format, key::TypeMappings);
    deleteSecuritiesEnabled_ = hasEntries(format, key::SecurityMappings);
  }
}

std::optional<std::string> EditFormats::tableArrayEditError(TableArray&, int row, int column,
                                                            const Value& value) {
  message_.clear();
  if (column != 0) return std::nullopt;
  const std::string& name = value.toString();
  if (name.empty())
    message_ = "An input format needs a name.";
  else if (extractFormatExistsWithName(name, row))
    message_ = "There is already an input format named \"" + name + "\".";
  if (message_.empty()) return std::nullopt;
  return message_;
}

bool EditFormats::extractFormatExistsWithName(std::string_view name, int except) const {
  const Value::Array& rows = table().array().toArray();
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (static_cast<int>(i) != except && equalsIgnoringCase(str(rows[i], key::Name), name))
      return true;
  return false;
}

std::size_t EditFormats::addFormat(const Value& record) {
  Value formats = table().array();
  const Value::Array& rows = formats.toArray();
  std::size_t at = 0;
  while (at < rows.size() &&
         caseInsensitiveCompare(str(rows[at], key::Name), str(record, key::Name)) <= 0)
    ++at;
  formats.insert(at, record);
  table().setArray(std::move(formats));
  return at;
}

void EditFormats::duplicateSelectedTableEntry() {
  if (table().numberOfSelectedRows() != 1) return;
  Value copy = table().array()[static_cast<std::size_t>(table().selectedRow())];
  const std::string name = str(copy, key::Name);
  std::string copyName = name + " copy";
  for (int n = 2; extractFormatExistsWithName(copyName); ++n)
    copyName = name + " copy " + std::to_string(n);
  copy.set(key::Name, Value(copyName));
  std::size_t row = addFormat(copy);
  table().selectRow(static_cast<int>(row));
}

void EditFormats::deleteTypes() {
  int row = table().selectedRow();
  if (row < 0 || !view_) return;
  Value format = table().array()[static_cast<std::size_t>(row)];
  Value mappings = format[key::TypeMappings];
  const Value& types = bundle_.table("CVQuickenTypes");
  for (Value& mapping : mappings.mutableArray()) {
    const Value* quickenType = mapping.find(mapKey::quickenType);
    if (!quickenType) continue;
    std::int64_t q = quickenType->toInt();
    bool skip = q == kAlwaysSkip;
    std::string typeName = "Always Skip";
    if (!skip)
      typeName = str(types[static_cast<std::size_t>(q & ~kAssumeDollarFlag)], "DisplayName");
    mapping.set(quickenTypeString, Value(typeName));
    mapping.set(assumeDollar, Value(!skip && (q & kAssumeDollarFlag) ? "YES" : ""));
  }
  MappingDeletion window(
      "Delete Types For Input Format: " + str(format, key::Name),
      {shown(mapKey::formatType, "Statement Type"), shown(quickenTypeString, "Type"),
       shown(mapKey::assumedSecurity, "Assumed Security"), shown(assumeDollar, "Assume $1")});
  std::optional<Value> kept = window.run(*view_, std::move(mappings));
  if (!kept) return;
  for (Value& mapping : kept->mutableArray()) {
    mapping.erase(quickenTypeString);
    mapping.erase(assumeDollar);
  }
  format.set(key::TypeMappings, std::move(*kept));
  Value formats = table().array();
  formats.mutableArray()[static_cast<std::size_t>(row)] = std::move(format);
  table().setArray(std::move(formats));
  table().selectRow(row);
}

void EditFormats::deleteSecurities() {
  int row = table().selectedRow();
  if (row < 0 || !view_) return;
  Value format = table().array()[static_cast<std::size_t>(row)];
  MappingDeletion window(
      "Delete Securities For Input Format: " + str(format, key::Name),
      {shown(mapKey::formatName, "Statement Name"), shown(mapKey::quickenName, "Security")});
  std::optional<Value> kept = window.run(*view_, format[key::SecurityMappings]);
  if (!kept) return;
  format.set(key::SecurityMappings, std::move(*kept));
  Value formats = table().array();
  formats.mutableArray()[static_cast<std::size_t>(row)] = std::move(format);
  table().setArray(std::move(formats));
  table().selectRow(row);
}

}  // namespace corvela
