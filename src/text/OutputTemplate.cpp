#include "text/OutputTemplate.h"

namespace corvela {

std::string convertOutputForFieldType(std::string_view outputTemplate, std::string_view description,
                                      std::string_view memo) {
  std::string out;
  appendOutputForFieldType(out, outputTemplate, description, memo);
  return out;
}

void appendOutputForFieldType(std::string& out, std::string_view outputTemplate,
                              std::string_view description, std::string_view memo) {
  // The templates people use are "%d" and "%m" alone: copied without a pass over the template.
  if (outputTemplate == "%d") {
    out += description;
    return;
  }
  if (outputTemplate == "%m") {
    out += memo;
    return;
  }
  for (std::size_t i = 0; i < outputTemplate.size(); ++i) {
    char c = outputTemplate[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 >= outputTemplate.size()) break;  // a lone "%" at the end is dropped
    char code = outputTemplate[++i];
    if (code == 'd') {
      out += description;
    } else if (code == 'm') {
      out += memo;
    } else {
      out += '%';
      out += code;
    }
  }
}

}  // namespace corvela
