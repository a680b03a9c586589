#include "text/ScanPattern.h"

#include <bitset>
#include <cstdint>
#include <limits>

#include "text/CharClass.h"

namespace corvela {
namespace {

using charclass::isDigit;
using charclass::isSpace;

// How a directive ended the match early: the text ran out (sscanf's input failure) or did not
// fit (a matching failure).
enum class Stop { None, Input, Matching };

class Matcher {
 public:
  Matcher(std::string_view text, std::string_view pattern) : text_(text), pattern_(pattern) {}

  ScanResult run() {
    Stop stop = Stop::None;
    while (!patternEnd() && stop == Stop::None) {
      unsigned char f = static_cast<unsigned char>(pattern_[p_]);
      if (isSpace(f)) {
        while (!patternEnd() && isSpace(static_cast<unsigned char>(pattern_[p_]))) ++p_;
        skipSpace();
      } else if (f != '%') {
        ++p_;
        if (atEnd())
          stop = Stop::Input;
        else if (static_cast<unsigned char>(text_[in_]) != f)
          stop = Stop::Matching;
        else
          ++in_;
      } else {
        ++p_;
        stop = conversion();
      }
    }
    // An input failure before the first conversion is sscanf's EOF answer.
    if (stop == Stop::Input && result_.conversions == 0) result_.conversions = -1;
    return result_;
  }

 private:
  // A zero byte ends the text and the pattern, as it ends the C strings sscanf reads.
  bool atEnd() const { return in_ >= text_.size() || text_[in_] == '\0'; }
  bool patternEnd() const { return p_ >= pattern_.size() || pattern_[p_] == '\0'; }
  unsigned char current() const { return static_cast<unsigned char>(text_[in_]); }
  void skipSpace() {
    while (!atEnd() && isSpace(current())) ++in_;
  }

  void assign(int value) {
    if (result_.conversions < ScanResult::kMaxValues) result_.values[result_.conversions] = value;
    ++result_.conversions;
  }

  Stop conversion() {
    bool suppress = false;
    if (!patternEnd() && pattern_[p_] == '*') {
      suppress = true;
      ++p_;
    }
    std::size_t width = 0;  // 0: no limit, as the C library reads a width of 0
    while (!patternEnd() && isDigit(static_cast<unsigned char>(pattern_[p_]))) {
      if (width < 100000) width = width * 10 + static_cast<std::size_t>(pattern_[p_] - '0');
      ++p_;
    }
    if (patternEnd()) return Stop::Matching;
    char conv = pattern_[p_++];
    switch (conv) {
      case 'n':
        if (!suppress) result_.consumed = in_;
        return Stop::None;
      case '%':
        skipSpace();
        if (atEnd()) return Stop::Input;
        if (current() != '%') return Stop::Matching;
        ++in_;
        return Stop::None;
      case 'd':
        return number(suppress, width);
      case 's':
        return word(suppress, width);
      case 'c':
        return characters(suppress, width == 0 ? 1 : width);
      case '[':
        return set(suppress, width);
      default:
        return Stop::Matching;
    }
  }

  // %d: white space, a sign, digits; the width counts the sign. A value beyond the range of a
  // long saturates and is then cut to an int, as sscanf does here.
  Stop number(bool suppress, std::size_t width) {
    skipSpace();
    if (atEnd()) return Stop::Input;
    std::size_t limit = width == 0 ? std::numeric_limits<std::size_t>::max() : width;
    std::size_t used = 0;
    bool negative = false;
    if (current() == '-' || current() == '+') {
      negative = current() == '-';
      ++in_;
      ++used;
    }
    constexpr std::uint64_t kMaxMagnitude =
        static_cast<std::uint64_t>(std::numeric_limits<long>::max()) + 1;
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    while (used < limit && !atEnd() && isDigit(current())) {
      if (magnitude <= kMaxMagnitude) magnitude = magnitude * 10 + (current() - '0');
      ++in_;
      ++used;
      ++digits;
    }
    if (digits == 0) return Stop::Matching;
    long value;
    if (negative) {
      value = magnitude >= kMaxMagnitude ? std::numeric_limits<long>::min()
                                         : -static_cast<long>(magnitude);
    } else {
      value = magnitude >= kMaxMagnitude ? std::numeric_limits<long>::max()
                                         : static_cast<long>(magnitude);
    }
    if (!suppress) assign(static_cast<int>(value));
    return Stop::None;
  }

  Stop word(bool suppress, std::size_t width) {
    skipSpace();
    if (atEnd()) return Stop::Input;
    std::size_t limit = width == 0 ? std::numeric_limits<std::size_t>::max() : width;
    for (std::size_t used = 0; used < limit && !atEnd() && !isSpace(current()); ++used) ++in_;
    if (!suppress) assign(0);
    return Stop::None;
  }

  // %c reads `count` characters, or as many as are left when at least one is.
  Stop characters(bool suppress, std::size_t count) {
    if (atEnd()) return Stop::Input;
    for (std::size_t used = 0; used < count && !atEnd(); ++used) ++in_;
    if (!suppress) assign(0);
    return Stop::None;
  }

  // %[...]: a "]" right after "[" or "[^" belongs to the set; "a-z" is a range, a "-" first or
  // last stands for itself.
  Stop set(bool suppress, std::size_t width) {
    bool negate = false;
    if (!patternEnd() && pattern_[p_] == '^') {
      negate = true;
      ++p_;
    }
    std::bitset<256> members;
    bool first = true;
    bool closed = false;
    while (!patternEnd()) {
      unsigned char c = static_cast<unsigned char>(pattern_[p_]);
      if (c == ']' && !first) {
        ++p_;
        closed = true;
        break;
      }
      first = false;
      if (c == '-' && p_ + 1 < pattern_.size() && pattern_[p_ + 1] != ']' &&
          pattern_[p_ + 1] != '\0' && members.any()) {
        unsigned char low = static_cast<unsigned char>(pattern_[p_ - 1]);
        unsigned char high = static_cast<unsigned char>(pattern_[p_ + 1]);
        if (low <= high) {
          for (unsigned v = low; v <= high; ++v) members.set(v);
        } else {
          members.set('-');
          members.set(high);
        }
        p_ += 2;
        continue;
      }
      members.set(c);
      ++p_;
    }
    if (!closed) return Stop::Matching;
    if (negate) members.flip();
    if (atEnd()) return Stop::Input;
    std::size_t limit = width == 0 ? std::numeric_limits<std::size_t>::max() : width;
    std::size_t used = 0;
    while (used < limit && !atEnd() && members.test(current())) {
      ++in_;
      ++used;
    }
    if (used == 0) return Stop::Matching;
    if (!suppress) assign(0);
    return Stop::None;
  }

  std::string_view text_;
  std::string_view pattern_;
  std::size_t in_ = 0;
  std::size_t p_ = 0;
  ScanResult result_;
};

}  // namespace

ScanResult scanPattern(std::string_view text, std::string_view pattern) {
  return Matcher(text, pattern).run();
}

}  // namespace corvela
