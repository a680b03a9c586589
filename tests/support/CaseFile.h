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
    std::size_t end = 1;
    std::string text;
    for (; line.starts_with('"') && end < line.size() && line[end] != '"'; ++end) {
      if (line[end] == '\\' && end + 1 < line.size()) {
        char c = line[++end];
        if (c == 'x' && end + 2 < line.size()) {
          text += static_cast<char>(std::stoi(line.substr(end + 1, 2), nullptr, 16));
          end += 2;
          continue;
        }
        text += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
      } else {
        text += line[end];
      }
    }
    std::size_t arrow = line.find(" -> ", end);
    if (!line.starts_with('"') || arrow == std::string::npos) {
      rebuilt += line + "\n";
      continue;
    }
    std::string words = line.substr(end + 1, arrow - end - 1);
    if (words.starts_with(' ')) words.erase(0, 1);
    rebuilt += line.substr(0, arrow) + " -> " + answer(text, words) + "\n";
  }
  expectDataFile(name, rebuilt);
}

}  // namespace corvela::testing
