#include "prefs/ValueText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace corvela {

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

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
      if (isBareWord(v.toString()))
        out += v.toString();
      else
        appendQuoted(out, v.toString());
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

// One entry per line, nested values indented: { key = value; } and ( item, item ).
void describeInto(std::string& out, const Value& v, int depth) {
  if (!v.isArray() && !v.isDictionary()) {
    describeScalar(out, v);
    return;
  }
  bool array = v.isArray();
  out += array ? "(" : "{";
  if (v.size() > 0) {
    out += '\n';
    if (array) {
      std::size_t index = 0;
      for (const Value& item : v.toArray()) {
        appendIndent(out, depth + 1);
        describeInto(out, item, depth + 1);
        out += ++index == v.size() ? "\n" : ",\n";
      }
    } else {
      for (const auto& [key, item] : v.toDictionary()) {
        appendIndent(out, depth + 1);
        describeScalar(out, Value(key));
        out += " = ";
        describeInto(out, item, depth + 1);
        out += ";\n";
      }
    }
    appendIndent(out, depth);
  }
  out += array ? ")" : "}";
}

}  // namespace

std::string describe(const Value& value) {
  std::string out;
  describeInto(out, value, 0);
  out += '\n';
  return out;
}

std::string base64(const Value::Bytes& bytes) {
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int shift : {18, 12, 6, 0}) out += kBase64Alphabet[(n >> shift) & 63];
  }
  if (i < bytes.size()) {
    unsigned n = bytes[i] << 16;
    if (i + 1 < bytes.size()) n |= bytes[i + 1] << 8;
    out += kBase64Alphabet[(n >> 18) & 63];
    out += kBase64Alphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64Alphabet[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool unbase64(std::string_view text, Value::Bytes* bytes) {
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    std::size_t digit = kBase64Alphabet.find(c);
    if (digit == std::string_view::npos) return false;
    buffer = (buffer << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes->push_back(static_cast<std::uint8_t>((buffer >> bits) & 0xff));
    }
  }
  return true;
}

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
