#include "text/Amounts.h"

#include <cmath>

#include "text/CharClass.h"
#include "text/ScanPattern.h"

namespace corvela {
namespace {

using charclass::isDigit;
using charclass::isSpace;

class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool atEnd() const { return i_ >= text_.size(); }
  unsigned char peek(std::size_t ahead = 0) const {
    return i_ + ahead < text_.size() ? static_cast<unsigned char>(text_[i_ + ahead]) : 0;
  }
  std::size_t position() const { return i_; }
  void advance(std::size_t n = 1) { i_ += n; }
  std::string_view rest() const { return text_.substr(i_); }

  // Skips one of the given byte sequences if the text continues with it.
  bool skip(std::string_view sequence) {
    if (rest().substr(0, sequence.size()) != sequence) return false;
    i_ += sequence.size();
    return true;
  }
  // Blanks and tabs.
  void skipBlanks() {
    while (peek() == ' ' || peek() == '\t') ++i_;
  }

 private:
  std::string_view text_;
  std::size_t i_ = 0;
};

bool skipSign(Cursor& cursor) {
  if (cursor.peek() != '-' && cursor.peek() != '(') return false;
  cursor.advance();
  return true;
}

// The pound sign (UTF-8, or the single byte of older files) or the euro sign.
void skipCurrencySign(Cursor& cursor) {
  cursor.skip("\xC2\xA3") || cursor.skip("\xA3") || cursor.skip("\xE2\x82\xAC");
}

// What may follow an amount.
bool endsAmount(const Cursor& cursor) {
  if (cursor.atEnd()) return true;
  unsigned char c = cursor.peek();
  if (isSpace(c) || c == '+' || c == ')' || c == '<' || c == 0xA0) return true;
  return c == 0xC2 && cursor.peek(1) == 0xA0;  // non-breaking space
}

}  // namespace

std::string convertEuropeanAmount(std::string_view amount) {
  for (std::size_t i = amount.size(); i-- > 0;) {
    if (amount[i] == '.') break;
    if (amount[i] != ',') continue;
    if (i + 3 < amount.size() && isDigit(static_cast<unsigned char>(amount[i + 3]))) continue;
    std::string converted(amount);
    converted[i] = '.';
    for (std::size_t j = 0; j < i; ++j) {
      if (converted[j] == '.')
        converted[j] = ',';
      else if (converted[j] == ',')
        converted[j] = '.';
    }
    return converted;
  }
  return std::string(amount);
}

AmountReading findAmount(std::string_view text) {
  AmountReading reading;
  Cursor cursor(text);
  cursor.skipBlanks();
  cursor.skip("USD");
  if (skipSign(cursor)) reading.negative = true;
  cursor.skip("+");
  cursor.skipBlanks();
  cursor.skip("$");
  skipCurrencySign(cursor);
  cursor.skipBlanks();
  if (skipSign(cursor)) reading.negative = true;

  double value = 0;
  double divisor = 10;
  bool decimals = false;
  bool blankAfterDigits = false;
  while (!cursor.atEnd()) {
    unsigned char c = cursor.peek();
    if (c == ',') {
      cursor.advance();
    } else if (c == '.') {
      decimals = true;
      divisor = 10;
      cursor.advance();
    } else if (isDigit(c)) {
      if (decimals) {
        value += (c - '0') / divisor;
        divisor *= 10;
      } else {
        value = value * 10 + (c - '0');
      }
      cursor.advance();
    } else {
      blankAfterDigits = c == ' ' || c == '\t';
      break;
    }
  }

  if (blankAfterDigits) {
    // A fraction after the whole number, as in 12 3/8. Without one the amount ends here.
    ScanResult fraction = scanPattern(cursor.rest(), " %d/%d%n");
    if (fraction.conversions != 2 || !fraction.consumed) {
      reading.value = std::isfinite(value) ? value : -1.0;
      return reading;
    }
    int numerator = fraction.values[0], denominator = fraction.values[1];
    if (numerator < 0 || denominator <= 0) {
      reading.value = -1.0;
      return reading;
    }
    value += static_cast<double>(numerator) / denominator;
    cursor.advance(*fraction.consumed);
  }

  if (cursor.peek() == '-') {
    reading.negative = true;
    cursor.advance();
  }
  reading.value = endsAmount(cursor) && std::isfinite(value) ? value : -1.0;
  return reading;
}

}  // namespace corvela
