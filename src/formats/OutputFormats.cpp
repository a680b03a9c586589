#include "formats/OutputFormats.h"

#include <algorithm>
#include <utility>

#include "formats/OutputFormatKeys.h"
#include "lists/Categories.h"
#include "prefs/Bundle.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"
#include "readers/TransactionKeys.h"
#include "text/DateTables.h"
#include "text/Dates.h"
#include "text/OutputTemplate.h"

namespace corvela {
namespace {

// The templates the options dialog starts from; a store that never went through start-up
// still writes descriptions and memos unchanged.
constexpr std::string_view kDefaultDescriptionOutput = "%d";
constexpr std::string_view kDefaultMemoOutput = "%m";
constexpr std::string_view kDefaultOutputDateFormat = "%m/%d/%Y";
// In QIF output a check number this long is taken for a reference number and left out.
constexpr std::size_t kLongNumberLength = 6;

bool isQIFEntry(const Value& entry) { return str(entry, outputFormatKey::Name) == kQIFFormatName; }

Value qifEntry() { return Value{{std::string(outputFormatKey::Name), kQIFFormatName}}; }

std::string_view withoutLeadingBlanks(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

bool isCommaSeparated(const Value& format) {
  return str(format, outputFormatKey::Separator).starts_with(outputSeparator::Comma);
}

std::string credit(const std::string& amount) { return amount.starts_with('-') ? "" : amount; }
std::string debit(const std::string& amount) { return amount.starts_with('-') ? amount : ""; }

// The columns of a delimited line that are present, with their positions in `Order`.
template <typename Visit>
void forEachPresentColumn(const Value& format, Visit visit) {
  const Value& present = format[outputFormatKey::Present];
  const Value& order = format[outputFormatKey::Order];
  for (std::size_t i = 0; i < present.size(); ++i) {
    if (present[i].toBool()) visit(order[i].toString(), static_cast<int>(i));
  }
}

}  // namespace

OutputFormats::OutputFormats(CVPrefs& store, const Preferences& options, Categories& categories,
                             const Bundle& bundle)
    : store_(store), options_(options), categories_(categories), bundle_(bundle) {}

const Value& OutputFormats::list() const {
  static const Value kNoList = Value::array();
  const Value& stored = store_.objectForKey(kOutputFormatsKey);
  return stored.isArray() ? stored : kNoList;
}

void OutputFormats::storeList(Value list) {
  store_.setObject(kOutputFormatsKey, std::move(list));
  store_.synchronize();
}

bool OutputFormats::createIfAbsent() {
  if (store_.objectForKey(kOutputFormatsKey).isArray()) return false;
  storeList(Value(Value::Array{qifEntry()}));
  return true;
}

int OutputFormats::numberOfFormats() const { return static_cast<int>(list().size()); }

std::optional<Value> OutputFormats::formatForName(std::string_view name) const {
  for (const Value& entry : list().toArray()) {
    if (equalsIgnoringCase(str(entry, outputFormatKey::Name), name)) return entry;
  }
  return std::nullopt;
}

std::optional<Value> OutputFormats::formatAtIndex(int index) const {
  Value formats = list();
  if (index < 0 || static_cast<std::size_t>(index) >= formats.size()) return std::nullopt;
  return formats[static_cast<std::size_t>(index)];
}

int OutputFormats::addFormat(const Value& record) {
  Value formats = list();
  const std::string& name = str(record, outputFormatKey::Name);
  std::size_t index = 0;
  for (; index < formats.size(); ++index) {
    int order = caseInsensitiveCompare(str(formats[index], outputFormatKey::Name), name);
    if (order == 0) {
      formats.mutableArray()[index] = record;
      break;
    }
    if (order > 0) {
      formats.insert(index, record);
      break;
    }
  }
  if (index == formats.size()) formats.append(record);
  storeList(std::move(formats));
  return static_cast<int>(index);
}

void OutputFormats::deleteFormatAtIndex(int index) {
  Value formats = list();
  if (index < 0 || static_cast<std::size_t>(index) >= formats.size()) return;
  formats.removeAt(static_cast<std::size_t>(index));
  storeList(std::move(formats));
}

std::string OutputFormats::uniqueNameForName(std::string_view name) const {
  std::string candidate(name);
  for (int suffix = 2; formatForName(candidate); ++suffix) {
    candidate = std::string(name) + std::to_string(suffix);
  }
  return candidate;
}

Value OutputFormats::getOutputFormatsArray() const {
  Value formats = Value::array();
  for (const Value& entry : list().toArray()) {
    if (!isQIFEntry(entry)) formats.append(entry);
  }
  return formats;
}

void OutputFormats::setOutputFormatsArray(const Value& array) {
  // The editor never shows the built-in entry; one that slipped in would otherwise be doubled.
  Value formats = Value::array();
  for (const Value& entry : array.toArray()) {
    if (!isQIFEntry(entry)) formats.append(entry);
  }
  formats.append(qifEntry());
  storeList(std::move(formats));
}

std::string OutputFormats::comboBoxIncludeOnly(int kind, std::string_view fieldText) {
  filteredNames_.clear();
  bool fieldNamesDroppedEntry = false;
  for (const Value& entry : list().toArray()) {
    const std::string& name = str(entry, outputFormatKey::Name);
    const std::string& type = str(entry, outputFormatKey::Type);
    bool keep = isQIFEntry(entry) || (type == outputFormatType::Investment && kind == 2) ||
                (type == outputFormatType::Bank && (kind == 0 || kind == 3)) ||
                (type == outputFormatType::CreditCard && (kind == 1 || kind == 3));
    if (keep) {
      filteredNames_.push_back(name);
    } else if (equalsIgnoringCase(name, fieldText)) {
      fieldNamesDroppedEntry = true;
    }
  }
  return fieldNamesDroppedEntry ? std::string(kQIFFormatName) : std::string(fieldText);
}

std::string OutputFormats::comboBoxObjectValueForItemAtIndex(long index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= filteredNames_.size()) return "";
  return filteredNames_[static_cast<std::size_t>(index)];
}

long OutputFormats::comboBoxIndexOfItemWithStringValue(std::string_view value) const {
  for (std::size_t i = 0; i < filteredNames_.size(); ++i) {
    if (filteredNames_[i] == value) return static_cast<long>(i);
  }
  return kComboBoxNotFound;
}

std::optional<std::string> OutputFormats::comboBoxCompletedString(std::string_view prefix) const {
  std::vector<std::string_view> names = stringViews(filteredNames_);
  std::optional<std::size_t> found = shortestCompletionIndex(names, prefix);
  if (!found) return std::nullopt;
  return filteredNames_[*found];
}

void OutputFormats::comboBoxEntered() { typed_.invalidate(); }

EditDecision OutputFormats::isPartialStringValid(const TextEdit& edit) {
  std::vector<std::string_view> names = stringViews(filteredNames_);
  ListEditResult result = completeListTyping(edit, typed_, names);
  typed_ = std::move(result.typed);
  return std::move(result.decision);
}

bool OutputFormats::QIFOutput(const OutputContext& context) {
  // The built-in entry is found by name without regard to case like any other; a "qif" taken for
  // a delimited format would find that entry, which has no columns, and write empty lines.
  return equalsIgnoringCase(context.outputFormatText, kQIFFormatName);
}

bool OutputFormats::writesQIF(const OutputContext& context) {
  if (qifAskedFor_ != context.outputFormatText) {
    qifAskedFor_ = context.outputFormatText;
    qifAnswer_ = QIFOutput(context);
  }
  return qifAnswer_;
}

const OutputFormats::BankCCStyle& OutputFormats::bankCCStyle() {
  if (styleRead_ == store_.changeCount()) return style_;
  const Value& description = store_.objectForKey(prefKey::DescriptionOutput);
  const Value& memo = store_.objectForKey(prefKey::MemoOutput);
  style_.descriptionTemplate =
      description.isString() ? description.toString() : std::string(kDefaultDescriptionOutput);
  style_.memoTemplate = memo.isString() ? memo.toString() : std::string(kDefaultMemoOutput);
  style_.dashDates = options_.isOn(option::outputDashDates);
  style_.removeLongNumber = options_.isOn(option::removeLongNumber);
  styleRead_ = store_.changeCount();
  return style_;
}

void OutputFormats::produceBankCCOutput(std::string& buffer, const OutputContext& context,
                                        const BankCCOutput& transaction) {
  // A refused transfer category has been shown to the person; the transaction is still written.
  // First, as it may change the store, which the style below is read from.
  if (transaction.category) categories_.addCategory(*transaction.category);
  const std::string_view description =
      transaction.description ? std::string_view(*transaction.description) : std::string_view();
  const std::string_view memo =
      transaction.memo ? std::string_view(*transaction.memo) : std::string_view();
  const BankCCStyle& style = bankCCStyle();
  const std::string_view descriptionTemplate = style.descriptionTemplate;
  const std::string_view memoTemplate = style.memoTemplate;

  const bool qif = writesQIF(context);
  std::optional<std::string_view> number;
  if (transaction.number) {
    number = withoutLeadingBlanks(*transaction.number);
    if (number->empty()) {
      number.reset();
    } else if (qif && style.removeLongNumber && characterCount(*number) >= kLongNumberLength) {
      number = std::string_view();  // still written, as a bare "N"
    }
  }
  const bool hasSplits = transaction.splits && transaction.splits->size() > 0;

  if (!qif) {
    const std::string outputDescription =
        convertOutputForFieldType(descriptionTemplate, description, memo);
    const std::string outputMemo = convertOutputForFieldType(memoTemplate, description, memo);
    std::optional<Value> format = formatForName(context.outputFormatText);
    if (!format) return;
    produceDelimitedBankCC(buffer, context, *format, transaction, outputDescription, outputMemo,
                           number ? std::optional<std::string>(*number) : std::nullopt);
    if (hasSplits && (*format)[outputFormatKey::SplitsOutput].toInt() == splitsOutput::lines) {
      for (const Value& split : transaction.splits->toArray()) {
        BankCCOutput line;
        line.date = transaction.date;
        line.memo = str(split, splitKey::memo);
        line.amount = str(split, splitKey::amount);
        line.category = str(split, splitKey::category);
        // Adding the line's category may change the store and so the style read above, which
        // is not used after this.
        produceBankCCOutput(buffer, context, line);
      }
    }
    return;
  }

  // Written straight into the buffer, a line at a time: a statement has hundreds of thousands.
  auto line = [&buffer](char code, std::string_view text) {
    buffer += code;
    buffer += text;
    buffer += '\n';
  };
  const std::size_t dateStart = buffer.size() + 1;
  line('D', transaction.date);
  if (style.dashDates)
    std::replace(buffer.begin() + static_cast<std::ptrdiff_t>(dateStart), buffer.end(), '/', '-');
  buffer += 'P';
  appendOutputForFieldType(buffer, descriptionTemplate, description, memo);
  buffer += "\nM";
  appendOutputForFieldType(buffer, memoTemplate, description, memo);
  buffer += '\n';
  if (transaction.amount) line('T', *transaction.amount);
  if (number) line('N', *number);
  if (hasSplits) {
    for (const Value& split : transaction.splits->toArray()) {
      line('S', str(split, splitKey::category));
      line('E', str(split, splitKey::memo));
      line('$', str(split, splitKey::amount));
    }
  } else if (transaction.category) {
    line('L', *transaction.category);
  }
  if (transaction.cleared) line('C', *transaction.cleared);
  buffer += "^\n";
}

void OutputFormats::produceDelimitedBankCC(std::string& buffer, const OutputContext& context,
                                           const Value& format, const BankCCOutput& transaction,
                                           const std::string& description, const std::string& memo,
                                           const std::optional<std::string>& number) {
  const bool csv = isCommaSeparated(format);
  const std::string amount = transaction.amount.value_or("");
  const bool splitColumns = format[outputFormatKey::SplitsOutput].toInt() == splitsOutput::columns;
  forEachPresentColumn(format, [&](const std::string& column, int position) {
    if (column == outputColumn::Splits && splitColumns) {
      // Exactly the split fields: a transaction without splits adds no field here.
      if (!transaction.splits) return;
      for (const Value& split : transaction.splits->toArray()) {
        produceNonQIFOutputField(str(split, splitKey::amount), csv, buffer, position);
        produceNonQIFOutputField(str(split, splitKey::category), csv, buffer, position);
        produceNonQIFOutputField(str(split, splitKey::memo), csv, buffer, position);
      }
      return;
    }
    std::string value;
    if (column == outputColumn::Date) {
      value = convertedDate(format, transaction.date);
    } else if (column == outputColumn::Description) {
      value = description;
    } else if (column == outputColumn::Memo) {
      value = memo;
    } else if (column == outputColumn::Amount) {
      value = amount;
    } else if (column == outputColumn::Credit) {
      value = credit(amount);
    } else if (column == outputColumn::Debit) {
      value = debit(amount);
    } else if (column == outputColumn::Number) {
      value = number.value_or("");
    } else if (column == outputColumn::Category) {
      value = transaction.category.value_or("");
    } else if (column == outputColumn::Account) {
      value = context.account;
    }
    produceNonQIFOutputField(std::move(value), csv, buffer, position);
  });
  buffer += "\n";
}

void OutputFormats::produceInvestmentOutput(std::string& buffer, const OutputContext& context,
                                            const InvestmentOutput& transaction) {
  categories_.addCategory(transaction.category);
  std::optional<Value> format = formatForName(context.outputFormatText);
  if (!format) return;
  const bool csv = isCommaSeparated(*format);
  forEachPresentColumn(*format, [&](const std::string& column, int position) {
    std::string value;
    if (column == outputColumn::Date) {
      value = convertedDate(*format, transaction.date);
    } else if (column == outputColumn::Type) {
      value = transaction.type;
    } else if (column == outputColumn::Description) {
      value = transaction.description;
    } else if (column == outputColumn::Memo) {
      value = transaction.memo;
    } else if (column == outputColumn::Amount) {
      value = transaction.amount;
    } else if (column == outputColumn::Credit) {
      value = credit(transaction.amount);
    } else if (column == outputColumn::Debit) {
      value = debit(transaction.amount);
    } else if (column == outputColumn::Number) {
      value = transaction.number;
    } else if (column == outputColumn::Category) {
      value = transaction.category;
    } else if (column == outputColumn::Shares) {
      value = transaction.shares;
    } else if (column == outputColumn::Security) {
      value = transaction.security;
    } else if (column == outputColumn::Price) {
      value = transaction.price;
    } else if (column == outputColumn::Fees) {
      value = transaction.fees;
    } else if (column == outputColumn::Account) {
      value = context.account;
    }
    produceNonQIFOutputField(std::move(value), csv, buffer, position);
  });
  buffer += "\n";
}

void OutputFormats::produceNonQIFOutputField(std::string field, bool csv, std::string& buffer,
                                             int position) {
  if (csv) {
    // A line break inside an unquoted field would split the row in two for every reader.
    if (field.find_first_of(",\"\r\n") != std::string::npos) {
      std::string quoted = "\"";
      for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
      }
      field = quoted + "\"";
    }
    if (position >= 1) buffer += ',';
  } else {
    for (std::size_t tab = field.find('\t'); tab != std::string::npos;
         tab = field.find('\t', tab + 5)) {
      field.replace(tab, 1, "     ");
    }
    if (position >= 1) buffer += '\t';
  }
  buffer += field;
}

std::string OutputFormats::convertedDate(const OutputContext& context,
                                         std::string_view date) const {
  std::optional<Value> format = formatForName(context.outputFormatText);
  return format ? convertedDate(*format, date) : std::string(date);
}

std::string OutputFormats::convertedDate(const Value& format, std::string_view date) const {
  if (!format[outputFormatKey::ReformatDate].toBool()) return std::string(date);
  // Dates inside the program are written with OutputDateFormat; when that pattern puts the day
  // first, reading them month first would swap day and month of every date up to the 12th.
  const Value& pattern = store_.objectForKey(prefKey::OutputDateFormat);
  std::string_view outputPattern =
      pattern.isString() ? std::string_view(pattern.toString()) : kDefaultOutputDateFormat;
  std::size_t dayAt = outputPattern.find("%d");
  std::size_t monthAt = outputPattern.find("%m");
  const bool dayFirst =
      dayAt != std::string_view::npos && (monthAt == std::string_view::npos || dayAt < monthAt);

  const DateTables tables = bundle_.dateTables();
  const CalendarDay today = CalendarDay::today();
  for (std::string_view delimiter : {",", "/", "-"}) {
    DateRule reading;
    reading.delimiter = delimiter;
    reading.dayBeforeMonth = dayFirst;
    std::optional<CalendarDay> day = parseDate(date, reading, tables, today);
    // Numbers that name no real day would be rolled into another date; keep the text instead.
    if (!day || !day->isValid()) continue;
    const Value& reformat = format[outputFormatKey::ReformatDateFormat];
    return day->format(reformat.isString() ? std::string_view(reformat.toString())
                                           : kDefaultReformatDateFormat);
  }
  return std::string(date);
}

Value newOutputFormat(std::string_view name) {
  Value::Array order;
  Value::Array present;
  for (std::string_view column :
       {outputColumn::Date, outputColumn::Number, outputColumn::Description, outputColumn::Category,
        outputColumn::Amount, outputColumn::Memo, outputColumn::blank1, outputColumn::blank2,
        outputColumn::blank3}) {
    order.emplace_back(column);
    present.emplace_back(!column.starts_with("blank"));
  }
  return Value{{std::string(outputFormatKey::Name), name},
               {std::string(outputFormatKey::Separator), outputSeparator::Comma},
               {std::string(outputFormatKey::Type), outputFormatType::Bank},
               {std::string(outputFormatKey::Amount), "Amount"},
               {std::string(outputFormatKey::Order), Value(std::move(order))},
               {std::string(outputFormatKey::Present), Value(std::move(present))}};
}

}  // namespace corvela
