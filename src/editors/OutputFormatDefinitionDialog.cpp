#include "editors/OutputFormatDefinitionDialog.h"

#include <algorithm>
#include <utility>

#include "formats/OutputFormatKeys.h"
#include "formats/OutputFormats.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "text/CaseInsensitive.h"

namespace corvela {
namespace {

constexpr int kInvestmentTag = 2;
constexpr int kCreditAndDebitTag = 1;

int typeTagFor(std::string_view type) {
  if (type == outputFormatType::Investment) return kInvestmentTag;
  return type == outputFormatType::Bank ? 0 : 1;
}

std::string_view typeForKind(int kind) {
  if (kind == kInvestmentKind) return outputFormatType::Investment;
  if (kind == kCreditCardKind) return outputFormatType::CreditCard;
  return outputFormatType::Bank;
}

template <typename Titles>
bool isTag(const Titles& titles, int tag) {
  return tag >= 0 && static_cast<std::size_t>(tag) < titles.size();
}

}  // namespace

OutputFormatDefinitionDialog::OutputFormatDefinitionDialog(OutputFormats& formats,
                                                           const Preferences& options,
                                                           OutputFormatDefinitionView& view)
    : formats_(formats), options_(options), view_(view) {}

int OutputFormatDefinitionDialog::editFormatAtIndex(int index, std::string_view name,
                                                    bool forceType, int kind) {
  Value record;
  form_ = OutputFormatDefinitionForm{};
  if (index >= 0) {
    std::optional<Value> existing = formats_.formatAtIndex(index);
    // The built-in entry stands for QIF itself and has no layout to edit.
    if (!existing || str(*existing, outputFormatKey::Name) == kQIFFormatName) return index;
    record = std::move(*existing);
    editedName_ = str(record, outputFormatKey::Name);
    form_.okTitle = kAcceptChanges;
    form_.windowTitle = std::string(kEditOutputFormat) + editedName_;
  } else {
    record = newOutputFormat(formats_.uniqueNameForName(name));
    record.set(outputFormatKey::Type, typeForKind(kind));
    editedName_.clear();
    form_.okTitle = kDefineFormat;
    form_.windowTitle = kCreateOutputFormat;
  }
  index_ = index;

  form_.typeEnabled = !forceType;
  form_.name = str(record, outputFormatKey::Name);
  form_.okEnabled = nameAcceptable(form_.name);
  form_.separatorTag =
      str(record, outputFormatKey::Separator).starts_with(outputSeparator::Comma) ? 0 : 1;
  form_.typeTag = typeTagFor(str(record, outputFormatKey::Type));
  form_.amountTag = str(record, outputFormatKey::Amount) == kAmountTitles[0] ? 0 : 1;
  form_.splitsOutput = static_cast<int>(std::clamp<std::int64_t>(
      record[outputFormatKey::SplitsOutput].toInt(), 0, splitsOutput::columns));
  form_.reformatDate = record[outputFormatKey::ReformatDate].toBool();
  form_.reformatDateFormat = optionalString(record, outputFormatKey::ReformatDateFormat)
                                 .value_or(std::string(kDefaultReformatDateFormat));
  typeChanged();
  applyRecord(record);

  if (!view_.runDefinitionDialog(*this)) return index;
  return ok();
}

void OutputFormatDefinitionDialog::controlTextDidChange(std::string name) {
  form_.name = std::move(name);
  form_.okEnabled = nameAcceptable(form_.name);
  form_.errorTextVisible = !form_.okEnabled && !form_.name.empty();
}

void OutputFormatDefinitionDialog::selectType(int tag) {
  if (!form_.typeEnabled || !isTag(kOutputFormatTypeTitles, tag) || tag == form_.typeTag) return;
  form_.typeTag = tag;
  typeChanged();
}

void OutputFormatDefinitionDialog::selectAmount(int tag) {
  if (!isTag(kAmountTitles, tag) || tag == form_.amountTag) return;
  form_.amountTag = tag;
  typeChanged();
}

void OutputFormatDefinitionDialog::selectSeparator(int tag) {
  if (isTag(kSeparatorTitles, tag)) form_.separatorTag = tag;
}

void OutputFormatDefinitionDialog::selectSplitsOutput(int item) {
  if (isTag(kSplitsOutputItems, item)) form_.splitsOutput = item;
}

void OutputFormatDefinitionDialog::setReformatDate(bool on) { form_.reformatDate = on; }

void OutputFormatDefinitionDialog::setReformatDateFormat(std::string pattern) {
  form_.reformatDateFormat = std::move(pattern);
}

void OutputFormatDefinitionDialog::tableViewSetObjectValue(std::size_t column, bool present) {
  if (column < form_.columns.size()) form_.columns[column].present = present;
}

void OutputFormatDefinitionDialog::tableViewColumnDidMove(std::size_t from, std::size_t to) {
  std::vector<OutputFormatColumnCell>& columns = form_.columns;
  if (from >= columns.size() || to >= columns.size()) return;
  OutputFormatColumnCell moved = std::move(columns[from]);
  columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(from));
  if (isBlankColumn(moved.identifier)) moved.present = true;
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
}

void OutputFormatDefinitionDialog::typeChanged() {
  bool investment = form_.typeTag == kInvestmentTag;
  form_.splitsVisible = !investment;
  checkItemsFor(ColumnTableChoice{.investment = investment,
                                  .creditAndDebit = form_.amountTag == kCreditAndDebitTag,
                                  .cashTransactions = options_.isOn(option::quicken2003)});
}

void OutputFormatDefinitionDialog::checkItemsFor(const ColumnTableChoice& choice) {
  form_.columns.clear();
  for (std::string_view identifier : columnTable(choice))
    form_.columns.push_back(
        {std::string(identifier), columnTitle(identifier), presentByDefault(identifier)});
}

void OutputFormatDefinitionDialog::applyRecord(const Value& record) {
  const Value& order = record[outputFormatKey::Order];
  const Value& present = record[outputFormatKey::Present];
  std::vector<OutputFormatColumnCell>& columns = form_.columns;
  // The record's columns take the front in its order. A column the current table lacks (a
  // format written while the option quicken2003 was on) is skipped rather than leave a gap.
  std::size_t placed = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    auto found = std::find_if(
        columns.begin() + static_cast<std::ptrdiff_t>(placed), columns.end(),
        [&](const OutputFormatColumnCell& cell) { return cell.identifier == order[i].toString(); });
    if (found == columns.end()) continue;
    found->present = i < present.size() && present[i].toBool();
    std::rotate(columns.begin() + static_cast<std::ptrdiff_t>(placed), found, found + 1);
    ++placed;
  }
}

bool OutputFormatDefinitionDialog::nameAcceptable(std::string_view name) const {
  // An empty name could never be typed into the main window's field to choose the format.
  if (name.empty()) return false;
  if (index_ >= 0 && equalsIgnoringCase(name, editedName_)) return true;
  return !formats_.formatForName(name).has_value();
}

Value OutputFormatDefinitionDialog::record() const {
  Value::Array order;
  Value::Array present;
  for (const OutputFormatColumnCell& cell : form_.columns) {
    order.emplace_back(cell.identifier);
    present.emplace_back(cell.present);
  }
  auto title = [](const auto& titles, int tag) { return titles[static_cast<std::size_t>(tag)]; };
  return Value{
      {std::string(outputFormatKey::Name), form_.name},
      {std::string(outputFormatKey::Type), title(kOutputFormatTypeTitles, form_.typeTag)},
      {std::string(outputFormatKey::Separator), title(kSeparatorTitles, form_.separatorTag)},
      {std::string(outputFormatKey::Amount), title(kAmountTitles, form_.amountTag)},
      {std::string(outputFormatKey::Order), Value(std::move(order))},
      {std::string(outputFormatKey::Present), Value(std::move(present))},
      {std::string(outputFormatKey::SplitsOutput), form_.splitsOutput},
      {std::string(outputFormatKey::ReformatDate), form_.reformatDate},
      {std::string(outputFormatKey::ReformatDateFormat), form_.reformatDateFormat}};
}

int OutputFormatDefinitionDialog::ok() {
  // The view offers OK only while the name is acceptable; a run that ends otherwise keeps
  // the list as it was rather than let a second format take a name.
  if (!nameAcceptable(form_.name)) return index_;
  Value stored = record();
  if (index_ >= 0) formats_.deleteFormatAtIndex(index_);
  formats_.addFormat(stored);
  Value rows = formats_.getOutputFormatsArray();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (equalsIgnoringCase(str(rows[row], outputFormatKey::Name), form_.name))
      return static_cast<int>(row);
  }
  return index_;
}

}  // namespace corvela
