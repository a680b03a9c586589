#include "text/Entities.h"

#include <charconv>

namespace corvela {

namespace {

// Longer names than this are no entity of ours; stops the search for ";" early.
constexpr std::size_t kLongestEntityName = 10;

}  // namespace

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<std::string> entityText(std::string_view name) {
  if (name == "amp") return "&";
  if (name == "lt") return "<";
  if (name == "gt") return ">";
  if (name == "quot") return "\"";
  if (name == "apos") return "'";
  if (!name.starts_with('#')) return std::nullopt;
  std::string_view digits = name.substr(1);
  int base = 10;
  if (digits.starts_with('x') || digits.starts_with('X')) {
    base = 16;
    digits.remove_prefix(1);
  }
  std::uint32_t cp = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, base);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || cp == 0 ||
      cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return std::nullopt;
  std::string text;
  appendUtf8(text, cp);
  return text;
}

std::string decodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(pos, amp - pos));
    pos = amp + 1;
    std::size_t semi = text.find(';', pos);
    if (semi == std::string_view::npos || semi - pos > kLongestEntityName) {
      out += '&';
      continue;
    }
    std::string decoded = entityText(text.substr(pos, semi - pos)).value_or(std::string());
    // A control character (a line end, say) would break the line-based QIF written from the
    // value; its reference stays as written, like anything that is no entity.
    bool control = decoded.size() == 1 && (static_cast<unsigned char>(decoded[0]) < 0x20 ||
                                           decoded[0] == 0x7F);
    if (decoded.empty() || control) {
      out += '&';
      continue;
    }
    out += decoded;
    pos = semi + 1;
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace corvela
