#include "prefs/XmlPlist.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "prefs/ValueText.h"
#include "text/Entities.h"

namespace corvela {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '.' || c == '-';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

int base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Base64 with any blanks between the characters, as line-wrapped <data> elements are written.
bool decodeBase64(std::string_view text, Value::Bytes* bytes) {
  std::uint32_t bits = 0;
  int count = 0;
  std::size_t digits = 0;
  bool padding = false;
  for (char c : text) {
    if (isBlank(c)) continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    int d = base64Digit(c);
    if (d < 0 || padding) return false;
    ++digits;
    bits = (bits << 6) | static_cast<std::uint32_t>(d);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes->push_back(static_cast<std::uint8_t>((bits >> count) & 0xFF));
    }
  }
  return digits % 4 != 1;
}

// A piece of the input for a message, kept short and printable.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    out += c < 0x20 ? '?' : text[i];
  }
  if (text.size() > 40) out += "...";
  return out + "\"";
}

bool parseInteger(std::string_view text, std::int64_t* value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (magnitude > kMax + (negative ? 1 : 0)) return false;
  *value =
      negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool parseReal(std::string_view text, double* value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

// One recursive-descent pass over the text; the first error stops it.
class Reader {
 public:
  explicit Reader(std::string_view xml) : xml_(xml) {}

  Result<Value> read() {
    Value root;
    if (!readDocument(&root)) {
      return Status::Error("Property list, line " + std::to_string(lineAt(errorAt_)) + ": " +
                           error_);
    }
    return root;
  }

 private:
  struct Tag {
    std::string name;
    std::size_t start = 0;
    bool closing = false;
    bool empty = false;  // <name/>
  };

  bool fail(std::size_t at, std::string message) {
    errorAt_ = at;
    error_ = std::move(message);
    return false;
  }

  int lineAt(std::size_t at) const {
    int line = 1;
    for (std::size_t i = 0; i < at && i < xml_.size(); ++i) {
      if (xml_[i] == '\n' || (xml_[i] == '\r' && (i + 1 >= xml_.size() || xml_[i + 1] != '\n'))) {
        ++line;
      }
    }
    return line;
  }

  bool atEnd() const { return pos_ >= xml_.size(); }
  bool startsWith(std::string_view s) const { return xml_.substr(pos_).starts_with(s); }

  // Moves past `terminator`, which must come before the end of the text.
  bool skipPast(std::string_view terminator, std::size_t start, const char* what) {
    std::size_t end = xml_.find(terminator, pos_);
    if (end == std::string_view::npos) return fail(start, std::string(what) + " is not closed");
    pos_ = end + terminator.size();
    return true;
  }

  // Blanks, comments and processing instructions, which may stand between elements.
  bool skipMisc() {
    for (;;) {
      while (!atEnd() && isBlank(xml_[pos_])) ++pos_;
      std::size_t start = pos_;
      if (startsWith("<!--")) {
        pos_ += 4;
        if (!skipPast("-->", start, "a comment")) return false;
      } else if (startsWith("<?")) {
        pos_ += 2;
        if (!skipPast("?>", start, "a processing instruction")) return false;
      } else {
        return true;
      }
    }
  }

  // What may stand between two elements of a container: anything else is an error.
  bool skipGap() {
    if (!skipMisc()) return false;
    if (atEnd()) return true;
    if (xml_[pos_] != '<') return fail(pos_, "text outside any element");
    if (startsWith("<!")) return fail(pos_, "unexpected markup \"<!\"");
    return true;
  }

  bool skipDoctype() {
    std::size_t start = pos_;
    pos_ += 9;  // "<!DOCTYPE"
    char quote = 0;
    int brackets = 0;
    for (; !atEnd(); ++pos_) {
      char c = xml_[pos_];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        ++pos_;
        return true;
      }
    }
    return fail(start, "the DOCTYPE is not closed");
  }

  // At '<': a start tag (with its attributes, which carry nothing we use) or an end tag.
  bool readTag(Tag* tag) {
    tag->start = pos_;
    if (atEnd()) return fail(pos_, "the text ends where an element was expected");
    if (xml_[pos_] != '<') return fail(pos_, "text outside any element");
    ++pos_;
    tag->closing = !atEnd() && xml_[pos_] == '/';
    if (tag->closing) ++pos_;
    std::size_t nameStart = pos_;
    while (!atEnd() && isNameChar(xml_[pos_])) ++pos_;
    tag->name = std::string(xml_.substr(nameStart, pos_ - nameStart));
    if (tag->name.empty()) return fail(tag->start, "a tag without a name");
    for (;;) {
      while (!atEnd() && isBlank(xml_[pos_])) ++pos_;
      if (atEnd()) return fail(tag->start, "the tag <" + tag->name + "> is not closed");
      char c = xml_[pos_];
      if (c == '>') {
        ++pos_;
        return true;
      }
      if (c == '/' && !tag->closing && pos_ + 1 < xml_.size() && xml_[pos_ + 1] == '>') {
        pos_ += 2;
        tag->empty = true;
        return true;
      }
      if (tag->closing || !isNameChar(c)) {
        return fail(pos_, "unexpected character in the tag <" + tag->name + ">");
      }
      if (!skipAttribute(*tag)) return false;
    }
  }

  bool skipAttribute(const Tag& tag) {
    while (!atEnd() && isNameChar(xml_[pos_])) ++pos_;
    while (!atEnd() && isBlank(xml_[pos_])) ++pos_;
    if (atEnd() || xml_[pos_] != '=') {
      return fail(pos_, "an attribute of <" + tag.name + "> has no value");
    }
    ++pos_;
    while (!atEnd() && isBlank(xml_[pos_])) ++pos_;
    if (atEnd() || (xml_[pos_] != '"' && xml_[pos_] != '\'')) {
      return fail(pos_, "an attribute value of <" + tag.name + "> is not quoted");
    }
    char quote = xml_[pos_++];
    std::size_t end = xml_.find(quote, pos_);
    if (end == std::string_view::npos)
      return fail(tag.start, "the tag <" + tag.name + "> is not closed");
    pos_ = end + 1;
    return true;
  }

  bool readDocument(Value* root) {
    if (startsWith("\xEF\xBB\xBF")) pos_ += 3;
    for (;;) {
      if (!skipMisc()) return false;
      if (!startsWith("<!DOCTYPE")) break;
      if (!skipDoctype()) return false;
    }
    if (!skipGap()) return false;
    Tag tag;
    if (atEnd()) return fail(pos_, "the text holds no property list");
    if (!readTag(&tag)) return false;
    if (tag.name == "plist" && !tag.closing) {
      if (tag.empty) return fail(tag.start, "the property list is empty");
      if (!skipGap()) return false;
      Tag inner;
      if (!readTag(&inner)) return false;
      if (inner.closing) {
        return inner.name == "plist" ? fail(inner.start, "the property list is empty")
                                     : fail(inner.start, "unexpected </" + inner.name + ">");
      }
      if (!readValue(inner, root, 0) || !skipGap()) return false;
      Tag close;
      if (!readTag(&close)) return false;
      if (!close.closing || close.name != "plist") {
        return fail(close.start, "<plist> may hold only one value");
      }
    } else if (!readValue(tag, root, 0)) {
      return false;
    }
    if (!skipMisc()) return false;
    if (!atEnd()) return fail(pos_, "more text after the end of the property list");
    return true;
  }

  // The text content of `open` up to its end tag, with entities and CDATA resolved.
  bool readText(const Tag& open, std::string* text) {
    if (open.empty) return true;
    while (!atEnd()) {
      char c = xml_[pos_];
      if (c == '<') {
        std::size_t start = pos_;
        if (startsWith("<!--")) {
          pos_ += 4;
          if (!skipPast("-->", start, "a comment")) return false;
        } else if (startsWith("<![CDATA[")) {
          pos_ += 9;
          std::size_t end = xml_.find("]]>", pos_);
          if (end == std::string_view::npos) return fail(start, "a CDATA section is not closed");
          appendText(xml_.substr(pos_, end - pos_), text);
          pos_ = end + 3;
        } else if (startsWith("<?")) {
          pos_ += 2;
          if (!skipPast("?>", start, "a processing instruction")) return false;
        } else {
          Tag tag;
          if (!readTag(&tag)) return false;
          if (!tag.closing) {
            return fail(start, "<" + open.name + "> may hold only text, not <" + tag.name + ">");
          }
          if (tag.name != open.name) {
            return fail(start, "</" + tag.name + "> closes <" + open.name + ">");
          }
          return true;
        }
      } else if (c == '&') {
        if (!readEntity(text)) return false;
      } else {
        std::size_t end = xml_.find_first_of("<&", pos_);
        if (end == std::string_view::npos) end = xml_.size();
        appendText(xml_.substr(pos_, end - pos_), text);
        pos_ = end;
      }
    }
    return fail(open.start, "<" + open.name + "> is not closed");
  }

  // Character data, with CR LF and lone CR turned into LF.
  static void appendText(std::string_view chars, std::string* text) {
    for (std::size_t i = 0; i < chars.size(); ++i) {
      if (chars[i] == '\r') {
        *text += '\n';
        if (i + 1 < chars.size() && chars[i + 1] == '\n') ++i;
      } else {
        *text += chars[i];
      }
    }
  }

  bool readEntity(std::string* text) {
    std::size_t start = pos_;
    std::size_t semi = xml_.find(';', pos_);
    if (semi == std::string_view::npos || semi - pos_ > 12) {
      return fail(start, "\"&\" must begin an entity such as &amp;");
    }
    std::string_view name = xml_.substr(pos_ + 1, semi - pos_ - 1);
    pos_ = semi + 1;
    std::optional<std::string> decoded = entityText(name);
    if (!decoded) {
      return fail(start,
                  (name.starts_with('#') ? "bad character reference &" : "unknown entity &") +
                      std::string(name) + ";");
    }
    *text += *decoded;
    return true;
  }

  bool readValue(const Tag& open, Value* out, int depth) {
    const std::string& name = open.name;
    if (open.closing) return fail(open.start, "unexpected </" + name + ">");
    if (name == "dict" || name == "array") {
      if (depth >= XmlPlist::kMaxDepth) {
        return fail(open.start, "containers are nested more than " +
                                    std::to_string(XmlPlist::kMaxDepth) + " deep");
      }
      return name == "dict" ? readDict(open, out, depth) : readArray(open, out, depth);
    }
    if (name == "key") return fail(open.start, "<key> outside a <dict>");
    std::string text;
    if (!readText(open, &text)) return false;
    if (name == "string") {
      *out = Value(std::move(text));
      return true;
    }
    std::string_view t = trimmed(text);
    if (name == "integer") {
      std::int64_t i = 0;
      if (!parseInteger(t, &i)) return fail(open.start, "not an integer: " + quoted(text));
      *out = Value(static_cast<long long>(i));
    } else if (name == "real") {
      double d = 0;
      if (!parseReal(t, &d)) return fail(open.start, "not a real number: " + quoted(text));
      *out = Value(d);
    } else if (name == "true" || name == "false") {
      if (!t.empty()) return fail(open.start, "<" + name + "> must be empty");
      *out = Value(name == "true");
    } else if (name == "date") {
      Value::Date date;
      if (!parseIsoDate(t, &date)) {
        return fail(open.start, "not a date like 2024-01-31T12:00:00Z: " + quoted(text));
      }
      *out = Value(date);
    } else if (name == "data") {
      Value::Bytes bytes;
      if (!decodeBase64(text, &bytes)) return fail(open.start, "<data> is not valid base64");
      *out = Value(std::move(bytes));
    } else {
      return fail(open.start, "unknown element <" + name + ">");
    }
    return true;
  }

  bool readDict(const Tag& open, Value* out, int depth) {
    Value::Dictionary entries;
    if (!open.empty) {
      for (;;) {
        Tag keyTag;
        if (!skipGap() || !readTag(&keyTag)) return false;
        if (keyTag.closing) {
          if (keyTag.name != "dict")
            return fail(keyTag.start, "</" + keyTag.name + "> closes <dict>");
          break;
        }
        if (keyTag.name != "key") {
          return fail(keyTag.start,
                      "<dict> has a <" + keyTag.name + "> where a <key> was expected");
        }
        std::string key;
        if (!readText(keyTag, &key)) return false;
        Tag valueTag;
        if (!skipGap() || !readTag(&valueTag)) return false;
        if (valueTag.closing || valueTag.name == "key") {
          return fail(valueTag.start, "the key " + quoted(key) + " has no value");
        }
        if (entries.contains(key)) {
          return fail(keyTag.start, "the key " + quoted(key) + " appears twice in one <dict>");
        }
        Value value;
        if (!readValue(valueTag, &value, depth + 1)) return false;
        entries.emplace(std::move(key), std::move(value));
      }
    }
    *out = Value(std::move(entries));
    return true;
  }

  bool readArray(const Tag& open, Value* out, int depth) {
    Value::Array items;
    if (!open.empty) {
      for (;;) {
        Tag tag;
        if (!skipGap() || !readTag(&tag)) return false;
        if (tag.closing) {
          if (tag.name != "array") return fail(tag.start, "</" + tag.name + "> closes <array>");
          break;
        }
        Value value;
        if (!readValue(tag, &value, depth + 1)) return false;
        items.push_back(std::move(value));
      }
    }
    *out = Value(std::move(items));
    return true;
  }

  std::string_view xml_;
  std::size_t pos_ = 0;
  std::string error_;
  std::size_t errorAt_ = 0;
};

}  // namespace

Result<Value> XmlPlist::parse(std::string_view xml) { return Reader(xml).read(); }

}  // namespace corvela
