#include "text/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/ucnv.h>
#include <unicode/utf8.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "text/CaseInsensitive.h"
#include "text/CharClass.h"

namespace corvela {
namespace {

constexpr std::string_view kUTF8 = "UTF-8";
constexpr std::string_view kWindows1252 = "windows-1252";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves out map to the C1
// controls of the same number, as browsers read them; 0xA0 to 0xFF are Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUTF8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendWindows1252(std::string& out, unsigned char byte) {
  if (byte < 0x80)
    out += static_cast<char>(byte);
  else if (byte < 0xA0)
    appendUTF8(out, kWindows1252High[byte - 0x80]);
  else
    appendUTF8(out, byte);
}

std::string fromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char byte : bytes) appendWindows1252(out, static_cast<unsigned char>(byte));
  return out;
}

// The length of the valid UTF-8 character at `i`, or 0 when the bytes there are not one.
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t i) {
  const auto* start = reinterpret_cast<const uint8_t*>(bytes.data() + i);
  const auto available = static_cast<int32_t>(std::min<std::size_t>(4, bytes.size() - i));
  int32_t next = 0;
  UChar32 c;
  U8_NEXT(start, next, available, c);
  return c < 0 ? 0 : static_cast<std::size_t>(next);
}

bool isValidUTF8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    // Statements are nearly all ASCII: thirty-two bytes, or eight, pass the check at once.
    std::uint64_t words[4];
    if (i + sizeof words <= bytes.size()) {
      std::memcpy(words, bytes.data() + i, sizeof words);
      if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL) == 0) {
        i += sizeof words;
        continue;
      }
    }
    std::uint64_t eight;
    if (i + sizeof eight <= bytes.size()) {
      std::memcpy(&eight, bytes.data() + i, sizeof eight);
      if ((eight & 0x8080808080808080ULL) == 0) {
        i += sizeof eight;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = utf8CharacterLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// UTF-8 in which a stray byte is read as Windows-1252: a file marked as UTF-8 that had a few
// characters pasted in from elsewhere.
std::string fromMostlyUTF8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    std::size_t length = byte < 0x80 ? 1 : utf8CharacterLength(bytes, i);
    if (length == 0) {
      appendWindows1252(out, byte);
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

// Converts with an ICU converter; none when ICU does not know the character set.
std::optional<std::string> convertWithICU(std::string_view bytes, const std::string& charset) {
  if (bytes.size() > (1u << 29)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  std::string out(bytes.size() * 3 + 16, '\0');
  int32_t length =
      ucnv_convert("UTF-8", charset.c_str(), out.data(), static_cast<int32_t>(out.size()),
                   bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;
    out.assign(static_cast<std::size_t>(length) + 1, '\0');
    length = ucnv_convert("UTF-8", charset.c_str(), out.data(), static_cast<int32_t>(out.size()),
                          bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  }
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// UTF-16 without a byte-order mark: most of its characters are ASCII, so half of its bytes are
// zero, all on one side. Text never holds zero bytes otherwise.
std::optional<std::string_view> utf16WithoutMark(std::string_view bytes) {
  if (bytes.size() < 4 || bytes.size() % 2 != 0) return std::nullopt;
  if (std::memchr(bytes.data(), '\0', bytes.size()) == nullptr) return std::nullopt;
  std::size_t evenZeros = 0, oddZeros = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\0') ++(i % 2 == 0 ? evenZeros : oddZeros);
  }
  std::size_t units = bytes.size() / 2;
  if (oddZeros * 2 >= units && evenZeros * 8 < units) return "UTF-16LE";
  if (evenZeros * 2 >= units && oddZeros * 8 < units) return "UTF-16BE";
  return std::nullopt;
}

// The value after "KEY:" in an OFX 1 header. Headers written without line ends run the next
// key on ("USASCIICHARSET:1252COMPRESSION:NONE"), so the value stops where a header key starts.
std::string headerValue(std::string_view header, std::string_view key) {
  std::size_t at = header.find(key);
  if (at == std::string_view::npos) return {};
  std::size_t i = at + key.size();
  while (i < header.size() && charclass::isBlank(static_cast<unsigned char>(header[i]))) ++i;
  std::size_t end = i;
  while (end < header.size()) {
    unsigned char c = static_cast<unsigned char>(header[end]);
    bool nameCharacter = charclass::isDigit(c) || (c >= 'A' && c <= 'Z') ||
                         (c >= 'a' && c <= 'z') || c == '-' || c == '_';
    if (!nameCharacter) break;
    ++end;
  }
  std::string_view value = header.substr(i, end - i);
  static constexpr std::string_view kKeys[] = {"OFXHEADER",   "DATA",       "VERSION",
                                               "SECURITY",    "ENCODING",   "CHARSET",
                                               "COMPRESSION", "OLDFILEUID", "NEWFILEUID"};
  for (std::string_view next : kKeys) {
    std::size_t found = value.find(next);
    if (found != std::string_view::npos && found > 0) value = value.substr(0, found);
  }
  return std::string(value);
}

// The converter name for a declared character set; "" when the declaration says nothing
// usable. Single-byte Western labels all mean Windows-1252, which contains them.
std::string charsetName(std::string_view declared) {
  if (declared.empty() || declared.size() > 40 || equalsIgnoringCase(declared, "NONE")) return {};
  // Only plain names reach ICU, which would read a name with a path or options in it as such.
  for (char c : declared) {
    auto u = static_cast<unsigned char>(c);
    bool plain = charclass::isDigit(u) || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                 u == '-' || u == '_';
    if (!plain) return {};
  }
  if (equalsIgnoringCase(declared, "UTF-8") || equalsIgnoringCase(declared, "UTF8"))
    return std::string(kUTF8);
  static constexpr std::string_view kWestern[] = {
      "1252",   "windows-1252", "cp1252",   "ISO-8859-1", "8859-1", "ISO8859-1",
      "latin1", "latin-1",      "US-ASCII", "USASCII",    "ASCII",  "ISO_8859-1"};
  for (std::string_view western : kWestern)
    if (equalsIgnoringCase(declared, western)) return std::string(kWindows1252);
  // UTF-16 and UTF-32 labels cannot be true of a header that was readable as ASCII.
  if (beginsWithIgnoringCase(declared, "UTF-16") || beginsWithIgnoringCase(declared, "UTF-32") ||
      beginsWithIgnoringCase(declared, "UCS") || beginsWithIgnoringCase(declared, "CSUNICODE"))
    return {};
  bool digits = std::all_of(declared.begin(), declared.end(), [](char c) {
    return charclass::isDigit(static_cast<unsigned char>(c));
  });
  if (digits) return "windows-" + std::string(declared);  // OFX writes code pages as numbers
  return std::string(declared);
}

// The character set that an OFX header or an XML declaration at the start declares.
std::string declaredCharset(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size() && charclass::isSpace(static_cast<unsigned char>(bytes[i]))) ++i;
  std::string_view head = bytes.substr(i, 2048);
  if (head.starts_with("OFXHEADER")) {
    std::string_view header = head.substr(0, head.find('<'));
    std::string encoding = charsetName(headerValue(header, "ENCODING:"));
    if (encoding == kUTF8) return encoding;
    return charsetName(headerValue(header, "CHARSET:"));
  }
  if (head.starts_with("<?xml")) {
    std::string_view declaration = head.substr(0, head.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    std::size_t q = declaration.find_first_of("\"'", at);
    if (q == std::string_view::npos) return {};
    std::size_t close = declaration.find(declaration[q], q + 1);
    if (close == std::string_view::npos) return {};
    return charsetName(declaration.substr(q + 1, close - q - 1));
  }
  return {};
}

}  // namespace

namespace {

// Decodes `bytes`; when they are taken as they are and `owner` holds them, they are moved out
// of it rather than copied (a statement can be large).
DecodedText decode(std::string_view bytes, std::string* owner) {
  if (bytes.starts_with(kByteOrderMark)) {
    std::string_view body = bytes.substr(kByteOrderMark.size());
    return {fromMostlyUTF8(body), std::string(kUTF8)};
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    std::string charset = bytes[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE";
    std::string_view body = bytes.substr(2);
    body = body.substr(0, body.size() - body.size() % 2);  // a cut-off last byte is dropped
    if (auto text = convertWithICU(body, charset)) return {*text, charset};
  }
  if (std::optional<std::string_view> charset = utf16WithoutMark(bytes)) {
    if (auto text = convertWithICU(bytes, std::string(*charset)))
      return {*text, std::string(*charset)};
  }
  if (isValidUTF8(bytes)) {
    if (owner) return {std::move(*owner), std::string(kUTF8)};
    return {std::string(bytes), std::string(kUTF8)};
  }
  std::string declared = declaredCharset(bytes);
  if (!declared.empty() && declared != kUTF8 && declared != kWindows1252) {
    if (auto text = convertWithICU(bytes, declared)) return {*text, declared};
  }
  return {fromWindows1252(bytes), std::string(kWindows1252)};
}

}  // namespace

DecodedText decodeText(std::string_view bytes) { return decode(bytes, nullptr); }

Result<DecodedText> readTextFile(const std::string& path) {
  auto failure = [&path](const std::string& reason) {
    return Status::Error("The file \"" + path + "\" could not be read: " + reason + ".");
  };
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failure(std::strerror(errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    std::string reason = std::strerror(errno);
    ::close(fd);
    return failure(reason);
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(fd);
    return failure("it is a folder");
  }
  // Read straight into the text's own room: one byte more than the file's size sees its end
  // without growing, and a file that grows meanwhile (or a pipe, sized 0) still reads whole.
  std::string bytes(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 65536, '\0');
  std::size_t size = 0;
  while (true) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
    if (got < 0) {
      if (errno == EINTR) continue;
      std::string reason = std::strerror(errno);
      ::close(fd);
      return failure(reason);
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  bytes.resize(size);
  ::close(fd);
  return decode(bytes, &bytes);
}

}  // namespace corvela
