#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "support/FileText.h"

namespace corvela::testing {

// `text` in double quotes, every byte visible: the escapes of a C string literal, and \xHH for
// bytes outside printable ASCII.
inline std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\')
      out += std::string("\\") + c;
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (byte < 0x20 || byte >= 0x7F)
      out += "\\x" + std::string{"0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 15]};
    else
      out += c;
  }
  return out + "\"";
}

// The text of the quoted() form that starts `line`; `end`, when given, receives where the form
// ends.
inline std::string unquoted(std::string_view line, std::size_t* end = nullptr) {
  std::string text;
  std::size_t at = 1;
  for (; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\\' && at + 1 < line.size()) {
      char c = line[++at];
      if (c == 'x' && at + 2 < line.size()) {
        text += static_cast<char>(std::stoi(std::string(line.substr(at + 1, 2)), nullptr, 16));
        at += 2;
        continue;
      }
      text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    } else {
      text += line[at];
    }
  }
  if (end) *end = at + 1;
  return text;
}

// A golden file of cases under tests/data, one case a line:
//   "text" words -> answer
// The text is quoted as quoted() writes it; the words (maybe none) say how it is read; the answer
// is what the test made of it. Lines that are blank or start with "#" are kept as they are. Each
// case is answered again with `answer(text, words)`, and the file so rebuilt must equal the file
// (CORVELA_UPDATE_GOLDEN=1 rewrites the answers, to be read over before they are committed).
inline void expectCaseFile(
    const std::string& name,
    const std::function<std::string(const std::string& text, const std::string& words)>& answer) {
  std::istringstream in(readText(std::string(CORVELA_TEST_DATA) + "/" + name));
  std::string rebuilt;
  for (std::string line; std::getline(in, line);) {
    std::size_t end = 0;
    std::string text = line.starts_with('"') ? unquoted(line, &end) : "";
    std::size_t arrow = line.find(" -> ", end);
    if (!line.starts_with('"') || arrow == std::string::npos) {
      rebuilt += line + "\n";
      continue;
    }
    std::string words = line.substr(end, arrow - end);
    if (words.starts_with(' ')) words.erase(0, 1);
    rebuilt += line.substr(0, arrow) + " -> " + answer(text, words) + "\n";
  }
  expectDataFile(name, rebuilt);
}

}  // namespace corvela::testing
