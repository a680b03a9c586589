#include "editors/EditOutputFormats.h"

#include <algorithm>

#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

const std::string& nameOf(const Value& format) { return str(format, outputFormatKey::Name); }

}  // namespace

void EditOutputFormats::beginEditing(TableEditorView& view) {
  host_.disableMenuItems();
  message_.clear();
  runTable(view, outputFormats_.getOutputFormatsArray(),
           {{std::string(outputFormatKey::Name), "Name"}});
  store();
  host_.enableMenuItems();
}

TableEditorForm EditOutputFormats::form() const {
  TableEditorForm form("Edit Output Formats", true, false);
  form.buttons = {{std::string(kDuplicate), "Duplicate", table().numberOfSelectedRows() == 1}};
  form.message = message_;
  return form;
}

void EditOutputFormats::perform(const std::string& action) {
  message_.clear();
  if (action == kDuplicate) duplicateSelectedTableEntry();
}

void EditOutputFormats::store() {
  // A rename may move a name out of its place; the list is kept by name, and the table shows
  // it as stored so that its rows are the store's indexes.
  Value::Array formats = table().array().toArray();
  std::stable_sort(formats.begin(), formats.end(), [](const Value& a, const Value& b) {
    return caseInsensitiveCompare(nameOf(a), nameOf(b)) < 0;
  });
  if (Value(formats) != table().array()) {
    std::string selected;
    if (table().numberOfSelectedRows() == 1)
      selected = nameOf(table().array()[static_cast<std::size_t>(table().selectedRow())]);
    table().setArray(Value(formats));
    for (std::size_t i = 0; i < formats.size(); ++i)
      if (!selected.empty() && nameOf(formats[i]) == selected)
        table().selectRow(static_cast<int>(i));
  }
  outputFormats_.setOutputFormatsArray(Value(std::move(formats)));
}

bool EditOutputFormats::outputFormatExistsWithName(std::string_view name, int except) const {
  if (equalsIgnoringCase(name, kQIFFormatName)) return true;
  const Value::Array& rows = table().array().toArray();
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (static_cast<int>(i) != except && equalsIgnoringCase(nameOf(rows[i]), name)) return true;
  return false;
}

void EditOutputFormats::duplicateSelectedTableEntry() {
  if (table().numberOfSelectedRows() != 1) return;
  Value copy = table().array()[static_cast<std::size_t>(table().selectedRow())];
  const std::string name = nameOf(copy);
  std::string copyName = name + " copy";
  for (int n = 2; outputFormatExistsWithName(copyName); ++n)
    copyName = name + " copy " + std::to_string(n);
  copy.set(outputFormatKey::Name, Value(copyName));
  Value formats = table().array();
  const Value::Array& rows = formats.toArray();
  std::size_t at = 0;
  while (at < rows.size() && caseInsensitiveCompare(nameOf(rows[at]), copyName) <= 0) ++at;
  formats.insert(at, std::move(copy));
  table().setArray(std::move(formats));
  table().selectRow(static_cast<int>(at));
  store();
}

bool EditOutputFormats::tableArrayAddEntry(TableArray&) {
  define_(-1, "new");
  table().setArray(outputFormats_.getOutputFormatsArray());
  return true;
}

bool EditOutputFormats::tableArrayEditEntryAtIndex(TableArray&, int index) {
  // The dialog edits the stored list, whose order is the table's with "QIF" after it.
  store();
  std::vector<std::string> before;
  for (const Value& format : table().array().toArray()) before.push_back(nameOf(format));
  std::string name = before[static_cast<std::size_t>(index)];
  define_(index, name);
  table().setArray(outputFormats_.getOutputFormatsArray());
  // Select the format as it came back: under a new name, or its own.
  const Value::Array& rows = table().array().toArray();
  int row = -1;
  for (std::size_t i = 0; i < rows.size() && row < 0; ++i)
    if (std::find(before.begin(), before.end(), nameOf(rows[i])) == before.end())
      row = static_cast<int>(i);
  for (std::size_t i = 0; i < rows.size() && row < 0; ++i)
    if (nameOf(rows[i]) == name) row = static_cast<int>(i);
  table().selectRow(row >= 0 ? row : std::min(index, table().numberOfRows() - 1));
  return true;
}

std::optional<std::string> EditOutputFormats::tableArrayEditError(TableArray&, int row, int column,
                                                                  const Value& value) {
  message_.clear();
  if (column != 0) return std::nullopt;
  const std::string& name = value.toString();
  if (name.empty())
    message_ = "An output format needs a name.";
  else if (outputFormatExistsWithName(name, row))
    message_ = "There is already an output format named \"" + name + "\".";
  if (message_.empty()) return std::nullopt;
  return message_;
}

}  // namespace corvela
