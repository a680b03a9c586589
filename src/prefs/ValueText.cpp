#include "prefs/ValueText.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "text/Entities.h"

#include "text/Entities.h"

namespace corvela {

namespace {


void appendIndent(std::string& out, int depth) {
  out.append(static_cast<std::size_t>(depth) * 4, ' ');
}

bool isBareWord(const std::string& s) {
  if (s.empty()) return false;
  for (unsigned char c : s)
    if (!(std::isalnum(c) || c == '_' || c == '.' || c == '$' || c == '/' || c == ':'))
      return false;
  return true;
}

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

std::string realText(double d) {
  if (!std::isfinite(d)) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  std::string s = buf;
  // Keep a real recognisable as one when read back.
  if (s.find_first_of(".eE") == std::string::npos) s += ".0";
  return s;
}

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const Value::Bytes& bytes) {
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += kBase64[(n >> 6) & 63];
    out += kBase64[n & 63];
  }
  if (i < bytes.size()) {
    unsigned n = bytes[i] << 16;
    if (i + 1 < bytes.size()) n |= bytes[i + 1] << 8;
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool unbase64(std::string_view text, Value::Bytes* bytes) {
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const char* p = std::strchr(kBase64, c);
    if (!p || c == '\0') return false;
    buffer = (buffer << 6) | static_cast<unsigned>(p - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes->push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xff));
    }
  }
  return true;
}

// The two printed forms share their layout (one entry per line, nested values indented) and
// differ in their punctuation and in how they write keys and single values.
struct Notation {
  std::string_view arrayOpen, arrayClose, dictionaryOpen, dictionaryClose, keySeparator;
  bool terminateEveryEntry;  // "key = value;" rather than commas between entries
  void (*key)(std::string& out, const std::string& key);
  void (*scalar)(std::string& out, const Value& value);
};

void printInto(std::string& out, const Value& v, int depth, const Notation& n) {
  if (!v.isArray() && !v.isDictionary()) {
    n.scalar(out, v);
    return;
  }
  bool array = v.isArray();
  out += array ? n.arrayOpen : n.dictionaryOpen;
  if (v.size() > 0) {
    out += '\n';
    auto entryEnd = [&](std::size_t index) {
      bool last = index + 1 == v.size();
      if (!array && n.terminateEveryEntry) return ";\n";
      return last ? "\n" : ",\n";
    };
    std::size_t index = 0;
    if (array) {
      for (const Value& item : v.toArray()) {
        appendIndent(out, depth + 1);
        printInto(out, item, depth + 1, n);
        out += entryEnd(index++);
      }
    } else {
      for (const auto& [key, item] : v.toDictionary()) {
        appendIndent(out, depth + 1);
        n.key(out, key);
        out += n.keySeparator;
        printInto(out, item, depth + 1, n);
        out += entryEnd(index++);
      }
    }
    appendIndent(out, depth);
  }
  out += array ? n.arrayClose : n.dictionaryClose;
}

void describeWord(std::string& out, const std::string& s) {
  if (isBareWord(s))
    out += s;
  else
    appendQuoted(out, s);
}

void describeScalar(std::string& out, const Value& v) {
  switch (v.type()) {
    case Value::Type::Null:
      out += "<null>";
      break;
    case Value::Type::Bool:
      out += v.toBool() ? "1" : "0";
      break;
    case Value::Type::Integer:
      out += std::to_string(v.toInt());
      break;
    case Value::Type::Real:
      out += realText(v.toDouble());
      break;
    case Value::Type::String:
      describeWord(out, v.toString());
      break;
    case Value::Type::Date:
      out += isoDate(v.toDate());
      break;
    case Value::Type::Data:
      out += "<" + base64(v.toData()) + ">";
      break;
    default:
      break;
  }
}

void jsonKey(std::string& out, const std::string& key) { appendQuoted(out, key); }

void jsonScalar(std::string& out, const Value& v) {
  switch (v.type()) {
    case Value::Type::Null:
      out += "null";
      break;
    case Value::Type::Bool:
      out += v.toBool() ? "true" : "false";
      break;
    case Value::Type::Integer:
      out += std::to_string(v.toInt());
      break;
    case Value::Type::Real:
      out += realText(v.toDouble());
      break;
    case Value::Type::String:
      appendQuoted(out, v.toString());
      break;
    case Value::Type::Date:
      out += "{\"$date\": ";
      appendQuoted(out, isoDate(v.toDate()));
      out += "}";
      break;
    case Value::Type::Data:
      out += "{\"$data\": ";
      appendQuoted(out, base64(v.toData()));
      out += "}";
      break;
    default:
      break;
  }
}

constexpr Notation kOldStyle{"(", ")", "{", "}", " = ", true, describeWord, describeScalar};
constexpr Notation kJson{"[", "]", "{", "}", ": ", false, jsonKey, jsonScalar};

// A recursive-descent JSON reader with a depth limit, so hostile input cannot exhaust the stack.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  Result<Value> read() {
    Value v;
    if (!value(&v, 0)) return Status::Error(error_);
    skipSpace();
    if (pos_ != text_.size()) return fail("unexpected text after the value"), Status::Error(error_);
    return v;
  }

 private:
  static constexpr int kMaxDepth = 200;

  bool fail(const std::string& what) {
    if (!error_.empty()) return false;
    int line = 1, column = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    error_ = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
    return false;
  }

  void skipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t'))
      ++pos_;
  }

  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool value(Value* out, int depth) {
    if (depth > kMaxDepth) return fail("nested too deeply");
    skipSpace();
    if (pos_ >= text_.size()) return fail("a value was expected");
    char c = text_[pos_];
    if (c == '{') return object(out, depth);
    if (c == '[') return array(out, depth);
    if (c == '"') {
      std::string s;
      if (!string(&s)) return false;
      *out = Value(std::move(s));
      return true;
    }
    if (literal("true")) return *out = Value(true), true;
    if (literal("false")) return *out = Value(false), true;
    if (literal("null")) return *out = Value(), true;
    return number(out);
  }

  bool number(Value* out) {
    std::size_t start = pos_;
    bool real = false;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (std::isdigit(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (c == '.' || c == 'e' || c == 'E' || ((c == '+' || c == '-') && real)) {
        real = true;
        ++pos_;
      } else {
        break;
      }
    }
    std::string token(text_.substr(start, pos_ - start));
    if (token.empty() || token == "-") return fail("a value was expected");
    char* end = nullptr;
    errno = 0;
    if (real) {
      double d = std::strtod(token.c_str(), &end);
      if (*end) return pos_ = start, fail("a number was expected");
      *out = Value(d);
    } else {
      long long i = std::strtoll(token.c_str(), &end, 10);
      if (*end) return pos_ = start, fail("a number was expected");
      if (errno == ERANGE) return pos_ = start, fail("the number is too large");
      *out = Value(i);
    }
    return true;
  }

  bool hex4(unsigned* cp) {
    if (pos_ + 4 > text_.size()) return fail("a \\u escape needs four hex digits");
    *cp = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[pos_++];
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
              : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
              : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                          : -1;
      if (d < 0) return fail("a \\u escape needs four hex digits");
      *cp = *cp * 16 + static_cast<unsigned>(d);
    }
    return true;
  }

  bool string(std::string* out) {
    ++pos_;  // opening quote
    while (pos_ < text_.size()) {
      char c = text_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        *out += c;
        continue;
      }
      if (pos_ >= text_.size()) break;
      char e = text_[pos_++];
      switch (e) {
        case '"':
          *out += '"';
          break;
        case '\\':
          *out += '\\';
          break;
        case '/':
          *out += '/';
          break;
        case 'b':
          *out += '\b';
          break;
        case 'f':
          *out += '\f';
          break;
        case 'n':
          *out += '\n';
          break;
        case 'r':
          *out += '\r';
          break;
        case 't':
          *out += '\t';
          break;
        case 'u': {
          unsigned cp = 0;
          if (!hex4(&cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00 && literal("\\u")) {
            unsigned low = 0;
            if (!hex4(&low)) return false;
            if (low >= 0xDC00 && low < 0xE000)
              cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          appendUtf8(*out, cp);
          break;
        }
        default:
          --pos_;
          return fail("unknown escape in a string");
      }
    }
    return fail("the string is not closed");
  }

  bool array(Value* out, int depth) {
    ++pos_;
    Value::Array items;
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == ']') {
      ++pos_;
      *out = Value(std::move(items));
      return true;
    }
    for (;;) {
      Value item;
      if (!value(&item, depth + 1)) return false;
      items.push_back(std::move(item));
      skipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        *out = Value(std::move(items));
        return true;
      }
      return fail("',' or ']' was expected");
    }
  }

  bool object(Value* out, int depth) {
    ++pos_;
    Value::Dictionary entries;
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == '}') {
      ++pos_;
      *out = Value(std::move(entries));
      return true;
    }
    for (;;) {
      skipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"')
        return fail("a key in double quotes was expected");
      std::string key;
      if (!string(&key)) return false;
      skipSpace();
      if (pos_ >= text_.size() || text_[pos_] != ':') return fail("':' was expected");
      ++pos_;
      Value item;
      if (!value(&item, depth + 1)) return false;
      entries[key] = std::move(item);
      skipSpace();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        break;
      }
      return fail("',' or '}' was expected");
    }
    // The two tagged forms that stand for a date and for data.
    if (entries.size() == 1) {
      const auto& [key, item] = *entries.begin();
      if (key == "$date" && item.isString()) {
        Value::Date d;
        if (!parseIsoDate(item.toString(), &d))
          return fail("a $date must look like 2024-01-31T12:00:00Z");
        *out = Value(d);
        return true;
      }
      if (key == "$data" && item.isString()) {
        Value::Bytes bytes;
        if (!unbase64(item.toString(), &bytes)) return fail("$data must be base64");
        *out = Value(std::move(bytes));
        return true;
      }
    }
    *out = Value(std::move(entries));
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

std::string describe(const Value& value) {
  std::string out;
  printInto(out, value, 0, kOldStyle);
  out += '\n';
  return out;
}

std::string toJSON(const Value& value) {
  std::string out;
  printInto(out, value, 0, kJson);
  out += '\n';
  return out;
}

Result<Value> fromJSON(std::string_view text) { return JsonReader(text).read(); }

std::string isoDate(Value::Date date) {
  double unixSeconds = std::floor(date.seconds + Value::Date::kSecondsFrom1970);
  if (!std::isfinite(unixSeconds) || std::fabs(unixSeconds) > 1e15) unixSeconds = 0;
  std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

bool parseIsoDate(std::string_view text, Value::Date* date) {
  std::string s(text);
  int y, mo, d, h = 0, mi = 0, sec = 0, n = 0;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &y, &mo, &d, &h, &mi, &sec, &n) == 6 &&
      static_cast<std::size_t>(n) == s.size()) {
  } else if (std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &n) == 3 &&
             static_cast<std::size_t>(n) == s.size()) {
  } else {
    return false;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || sec < 0 ||
      sec > 60)
    return false;
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = sec;
  date->seconds = static_cast<double>(timegm(&tm)) - Value::Date::kSecondsFrom1970;
  return true;
}

}  // namespace corvela
