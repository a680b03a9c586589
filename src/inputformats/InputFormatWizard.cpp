#include "inputformats/InputFormatWizard.h"

#include <algorithm>

#include "formats/InputFormatKeys.h"
#include "inputformats/Extract.h"
#include "inputformats/WizardColumns.h"
#include "inputformats/WizardDates.h"
#include "platform/MessageFormat.h"

namespace corvela {

namespace key = inputFormatKey;

namespace {

const std::vector<std::string>& separatorTitles() {
  static const std::vector<std::string> titles{
      "Tabs or line breaks; indented lines go on a column",
      "Tabs or line breaks; empty columns kept",
      "Tabs or line breaks; empty columns skipped",
      "Tabs only",
      "Two or more blanks",
      "Commas (CSV)",
      "Fixed columns",
      "Semicolons",
  };
  return titles;
}

std::string textOf(const Value& entry, std::string_view name) {
  const Value* v = entry.find(name);
  return v && v->isString() ? v->toString() : std::string();
}

void setFlag(Value& record, std::string_view name, bool on) {
  if (on) {
    record.set(name, true);
  } else {
    record.erase(name);
  }
}

}  // namespace

InputFormatWizard::InputFormatWizard(WizardView& view, Platform& platform, WizardHost& host,
                                     const Bundle& bundle)
    : view_(view),
      platform_(platform),
      host_(host),
      bundle_(bundle),
      tables_(bundle.dateTables()) {}

void InputFormatWizard::alert(std::string_view title, const std::string& text) {
  platform_.runAlert({std::string(title), text, {"OK"}});
}

std::vector<std::string> InputFormatWizard::chunks() {
  return splitTextIntoLines(input_, format_, tables_, scan_);
}

void InputFormatWizard::learnFromString(const std::string& text, const std::string& name) {
  formatName_ = name;
  input_ = text;
  format_ = Value::dictionary();
  scan_ = ScanState{};
  // The first date found after blanks tells how many blanks stand before the dates.
  scan_.multipleBlankCount = -1;
  questions_.start(Value::array());
  doneAfterPrompt_ = saveAssumedSecurity_ = false;
  okButton3Enabled_ = true;

  form_ = WizardForm{};
  form_.separators = separatorTitles();
  form_.intro = formatMessage(kWizardIntro, {name});
  form_.dateText = input_.substr(earliestDateLineStart(input_, tables_).value_or(0));
  form_.matchText = input_;
  form_.kind = 0;
  form_.page = 1;
  show();
}

void InputFormatWizard::ok1() {
  SelectedDate date = readSelectedDate(form_.dateText, form_.dateSelection, tables_);
  if (date.refusal == kNoDateSelected || date.refusal == kDateAtStartOfText) {
    alert(kBadDate, date.refusal);
    return;
  }
  const std::string kind = form_.kinds[static_cast<std::size_t>(
      std::clamp<int>(form_.kind, 0, static_cast<int>(form_.kinds.size()) - 1))];
  if (kind == kKindInvestment) host_.checkSecurities();

  format_ = Value::dictionary();
  format_.set(key::Name, formatName_);
  format_.set(key::FormatType, kind);
  // Without a match text the format would be a candidate for every text; it is then chosen by
  // name only.
  TextSpan match = form_.matchSelection;
  if (match.length > 0 && match.end() <= form_.matchText.size()) {
    format_.set(key::Match, form_.matchText.substr(match.start, match.length));
  }
  setFlag(format_, key::firstLineStartsWithTransactionDate,
          form_.firstLineStartsWithTransactionDate);
  if (!date.refusal.empty()) {
    alert(kBadDate, date.refusal);
    return;
  }

  form_.oneTransactionPerLine = false;
  distanceFromNewline_ = date.distanceFromNewline;
  format_.set(key::DateStart, date.start);
  if (!date.end.empty()) format_.set(key::DateEnd, date.end);
  format_.set(key::DateDelimiter, date.delimiter);
  setFlag(format_, key::DayBeforeMonth, form_.europeanDates);

  std::vector<std::string> found = chunks();
  if (found.empty()) {
    alert(kNotEnoughTransactions, std::string(kNotEnoughTransactionsText));
    return;
  }
  SeparatorTag tag = preselectSeparator(found, format_, scan_);
  form_.preview.headers.clear();
  form_.page = 2;
  parseFields(static_cast<int>(tag), false, form_.nonUScharacters);
}

void InputFormatWizard::parseFields(int separatorTag, bool oneTransactionPerLine,
                                    bool nonUScharacters) {
  separatorTag = std::clamp(separatorTag, 0, kSeparatorTagCount - 1);
  form_.separatorTag = separatorTag;
  form_.oneTransactionPerLine = oneTransactionPerLine;
  form_.nonUScharacters = nonUScharacters;
  format_.erase(key::DistanceFromNewline);
  setFlag(format_, key::OneTransactionPerLine, oneTransactionPerLine);
  setFlag(format_, key::nonUScharacters, nonUScharacters);
  auto tag = static_cast<SeparatorTag>(separatorTag);
  const std::string rule(fieldRuleForTag(tag));
  format_.set(key::Fields, rule);
  if (tag == SeparatorTag::fixedColumns) {
    format_.set(key::DistanceFromNewline, static_cast<long long>(distanceFromNewline_));
  }

  ScanState cutting;
  cutting.multipleBlankCount = scan_.multipleBlankCount;
  WizardTable& table = form_.preview;
  table.rows.clear();
  std::size_t columns = 0;
  for (const std::string& chunk : chunks()) {
    if (chunk.empty()) continue;
    // The columns the reader will cut, so the numbers answered here are the reader's; a
    // transaction it cannot cut is still shown, cut as well as the rule allows.
    ChunkFields fields = cutFields(chunk, format_, cutting);
    table.rows.push_back(fields.ok() ? previewOfFields(fields.fields, kMaxPreviewColumns)
                                     : previewCells(chunk, rule, cutting, kMaxPreviewColumns));
    const auto& row = table.rows.back();
    for (std::size_t c = row.size(); c > columns; --c) {
      if (!row[c - 1].empty()) {
        columns = c;
        break;
      }
    }
  }
  table.headers.assign(columns, std::string());
  table.selectedRow = 0;
  table.selectedColumn.reset();
  show();
}

void InputFormatWizard::ok2() {
  const bool investment =
      format_[key::FormatType].isString() && format_[key::FormatType].toString() == kKindInvestment;
  questions_.start(bundle_.table(investment ? kExtractInvestment : kExtractBankCreditCard));
  form_.questions = form_.preview;
  form_.questions.headers.assign(form_.preview.headers.size(), std::string());
  doneAfterPrompt_ = saveAssumedSecurity_ = false;
  okButton3Enabled_ = true;
  form_.assumedSecurityShown = false;
  form_.page = 3;
  if (!questions_.current()) {
    formatBad();
    return;
  }
  arrive();
}

bool InputFormatWizard::hasAnyKey(std::initializer_list<std::string_view> keys) const {
  return std::any_of(keys.begin(), keys.end(),
                     [this](std::string_view k) { return format_.contains(k); });
}

void InputFormatWizard::displayPrompt() {
  const Value& entry = *questions_.current();
  const std::string field = textOf(entry, questionKey::Field);
  if (field == key::Date && !form_.oneTransactionPerLine) {
    // Each transaction text then begins with its date: the date is the first column.
    nextQuestion();
    return;
  }
  WizardTable& table = form_.questions;
  table.selectedRow = 0;
  form_.selectedText.clear();
  form_.prompt = textOf(entry, questionKey::Prompt);
  form_.expectingColumnSelection = entry.contains(questionKey::Field);
  table.selectedColumn.reset();
  // Only a required column is preselected: OK on an optional question means "none", which a
  // preselection would take away.
  if (form_.expectingColumnSelection && entry.contains(questionKey::Error)) {
    std::vector<bool> used;
    for (const std::string& header : table.headers) used.push_back(!header.empty());
    table.selectedColumn = preselectColumn(columnKindOf(field), table.rows, used, tables_);
  }
  if (entry.contains(questionKey::Yes) || entry.contains(questionKey::No)) {
    form_.yesNoShown = true;
    form_.okShown = false;
    form_.okEnabled = false;
  } else {
    form_.yesNoShown = false;
    // A required column is answered by a click; a preselected one is confirmed with OK.
    form_.okShown = !(entry.contains(questionKey::Field) && entry.contains(questionKey::Error)) ||
                    table.selectedColumn.has_value();
    form_.okEnabled = okButton3Enabled_;
  }
  show();
}

void InputFormatWizard::selectColumn(int column) {
  if (column < 0) return;
  form_.questions.selectedColumn = column;
  if (form_.page == 3 && form_.expectingColumnSelection) ok3();
}

void InputFormatWizard::setAssumedSecurity(const std::string& text) {
  form_.assumedSecurity = text;
  okButton3Enabled_ = !text.empty();
  form_.okEnabled = okButton3Enabled_;
  show();
}

void InputFormatWizard::ok3() {
  if (form_.page != 3 || !questions_.current()) return;
  const Value& entry = *questions_.current();
  WizardTable& table = form_.questions;
  if (entry.contains(questionKey::Field)) {
    const std::string field = textOf(entry, questionKey::Field);
    std::optional<int> column = table.selectedColumn;
    if (column) {
      auto c = static_cast<std::size_t>(*column);
      if (c < table.headers.size() && !table.headers[c].empty()) {
        alert(kColumnAlreadyUsed, formatMessage(kColumnAlreadyUsedText, {table.headers[c]}));
        return;
      }
      format_.set(field, *column);
      if (c >= table.headers.size()) table.headers.resize(c + 1);
      table.headers[c] = field;
      table.selectedRow = 0;
      table.selectedColumn.reset();
      nextQuestion();
      return;
    }
    if (entry.contains(questionKey::Error)) {
      alert(kNoColumnSelected, textOf(entry, questionKey::Error));
      return;
    }
    nextQuestion();
    return;
  }
  if (entry.contains(questionKey::FieldMatch)) {
    if (!form_.selectedText.empty()) {
      format_.set(textOf(entry, questionKey::FieldMatch), form_.selectedText);
      table.selectedRow = 0;
      nextQuestion();
      return;
    }
    if (entry.contains(questionKey::Error)) {
      alert(kNoTextSelected, textOf(entry, questionKey::Error));
      return;
    }
    // An optional text that was not given: on to the next question.
    nextQuestion();
    return;
  }
  if (entry.contains(questionKey::Stop)) {
    formatBad();
    return;
  }
  if (entry.contains(questionKey::Done)) {
    formatOK();
    return;
  }
  nextQuestion();
}

void InputFormatWizard::yes() {
  if (form_.page != 3 || !questions_.current()) return;
  const Value* list = questions_.current()->find(questionKey::Yes);
  if (!list || !list->isArray() || list->size() == 0) {
    nextQuestion();
    return;
  }
  questions_.enter(*list);
  if (questions_.current()->contains(questionKey::InvertAmount)) {
    format_.set(key::InvertAmount, true);
    nextQuestion();
    return;
  }
  arrive();
}

void InputFormatWizard::no() {
  if (form_.page != 3 || !questions_.current()) return;
  const Value* list = questions_.current()->find(questionKey::No);
  if (!list || !list->isArray() || list->size() == 0) {
    nextQuestion();
    return;
  }
  questions_.enter(*list);
  arrive();
}

void InputFormatWizard::nextQuestion() {
  if (doneAfterPrompt_) {
    formatOK();
    return;
  }
  if (saveAssumedSecurity_) {
    if (!form_.assumedSecurity.empty()) {
      format_.set(key::AssumedSecurity, form_.assumedSecurity);
    }
    saveAssumedSecurity_ = false;
    form_.assumedSecurityShown = false;
    okButton3Enabled_ = true;
  }
  if (!questions_.advance()) {
    // A script without a Done entry at its end: nothing is stored.
    formatBad();
    return;
  }
  arrive();
}

void InputFormatWizard::arrive() {
  const Value& entry = *questions_.current();
  if (entry.contains(questionKey::CheckSharesOrPrice)) {
    if (hasAnyKey(
            {"Shares", "SharesBefore", "SharesAfter", "Price", "PriceBefore", "PriceAfter"})) {
      ok3();
      return;
    }
    doneAfterPrompt_ = true;
  } else if (entry.contains(questionKey::CheckSecurity)) {
    if (hasAnyKey({"Security", "SecurityBefore", "SecurityAfter", "Symbol", "SymbolBefore",
                   "SymbolAfter"})) {
      ok3();
      return;
    }
    form_.assumedSecurityShown = true;
    form_.securities = host_.securityNames();
    okButton3Enabled_ = !form_.assumedSecurity.empty();
    saveAssumedSecurity_ = true;
  }
  displayPrompt();
}

void InputFormatWizard::formatOK() {
  form_.page = 0;
  show();
  host_.formatLearnt(format_);
}

void InputFormatWizard::formatBad() {
  form_.page = 0;
  show();
  host_.learningEnded();
}

void InputFormatWizard::cancel() {
  if (form_.page == 0) return;
  formatBad();
}

}  // namespace corvela
