#include "ui/FormattedAmountEdit.h"

#include <QFocusEvent>
#include <cstdint>
#include <optional>
#include <vector>

#include "banking/DecimalAmount.h"
#include "text/Amounts.h"
#include "ui/QtText.h"

namespace corvela::ui {
namespace {

std::vector<std::string_view> sectionsOf(std::string_view pattern) {
  std::vector<std::string_view> sections;
  while (true) {
    std::size_t semicolon = pattern.find(';');
    sections.push_back(pattern.substr(0, semicolon));
    if (semicolon == std::string_view::npos) break;
    pattern.remove_prefix(semicolon + 1);
  }
  return sections;
}

bool isNumberChar(char c) { return c == '#' || c == '0' || c == ',' || c == '.'; }

// The number of digits a section writes after its decimal point.
int decimalsOf(std::string_view section) {
  std::size_t point = section.find('.');
  if (point == std::string_view::npos) return 0;
  int count = 0;
  for (std::size_t i = point + 1; i < section.size() && (section[i] == '0' || section[i] == '#');
       ++i)
    ++count;
  return count;
}

// `magnitude` (units of 10^-decimals) written by `section`.
std::string writeSection(std::string_view section, std::uint64_t magnitude, int decimals,
                         std::string_view decimalSeparator) {
  std::size_t first = 0;
  while (first < section.size() && !isNumberChar(section[first])) ++first;
  std::size_t last = section.size();
  while (last > first && !isNumberChar(section[last - 1])) --last;
  std::string_view prefix = section.substr(0, first);
  std::string_view body = section.substr(first, last - first);
  std::string_view suffix = section.substr(last);

  std::string_view integerPattern = body.substr(0, body.find('.'));
  std::size_t minimumDigits = 0;
  for (char c : integerPattern)
    if (c == '0') ++minimumDigits;
  const bool grouped = integerPattern.find(',') != std::string_view::npos;
  const std::string groupSeparator = decimalSeparator == "," ? "." : ",";

  std::uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  std::string integer = std::to_string(magnitude / scale);
  if (integer == "0" && minimumDigits == 0) integer.clear();
  while (integer.size() < minimumDigits) integer.insert(0, "0");
  if (grouped) {
    for (std::size_t at = integer.size(); at > 3; at -= 3) integer.insert(at - 3, groupSeparator);
  }
  std::string text(prefix);
  text += integer;
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    text += decimalSeparator;
    text += fraction;
  }
  text += suffix;
  return text;
}

}  // namespace

std::string formattedAmount(std::string_view amount, std::string_view pattern,
                            std::string_view decimalSeparator) {
  if (pattern.empty()) return std::string(amount);
  std::vector<std::string_view> sections = sectionsOf(pattern);
  const int decimals = decimalsOf(sections[0]);
  std::string text = decimalSeparator == "," ? convertEuropeanAmount(amount) : std::string(amount);
  std::optional<std::int64_t> units = readDecimalAmount(text, decimals);
  if (!units || text.find_first_of("0123456789") == std::string::npos) return std::string(amount);
  const std::uint64_t magnitude =
      *units < 0 ? 0 - static_cast<std::uint64_t>(*units) : static_cast<std::uint64_t>(*units);
  if (*units < 0) {
    if (sections.size() > 2)
      return writeSection(sections[2], magnitude, decimals, decimalSeparator);
    return "-" + writeSection(sections[0], magnitude, decimals, decimalSeparator);
  }
  if (*units == 0 && sections.size() > 1)
    return writeSection(sections[1], magnitude, decimals, decimalSeparator);
  return writeSection(sections[0], magnitude, decimals, decimalSeparator);
}

FormattedAmountEdit::FormattedAmountEdit(QWidget* parent) : QLineEdit(parent) {
  // Connected first, so whoever listens to the person's edits finds the amount up to date.
  connect(this, &QLineEdit::textEdited, this,
          [this](const QString& text) { amount_ = utf8(text); });
}

void FormattedAmountEdit::setAmount(const std::string& amount, const std::string& pattern,
                                    const std::string& decimalSeparator) {
  amount_ = amount;
  pattern_ = pattern;
  decimalSeparator_ = decimalSeparator;
  showAmount();
}

void FormattedAmountEdit::showAmount() {
  QString wanted = qs(hasFocus() ? amount_ : formattedAmount(amount_, pattern_, decimalSeparator_));
  if (text() != wanted) setText(wanted);
}

void FormattedAmountEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  showAmount();
}

void FormattedAmountEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  showAmount();
}

}  // namespace corvela::ui
