#include "text/OutputTemplate.h"

#include "prefs/CVPrefs.h"

namespace corvela {

std::string convertOutputForFieldType(std::string_view outputTemplate, std::string_view description,
                                      std::string_view memo) {
  std::string out;
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
  return out;
}

std::string convertOutputForFieldType(const CVPrefs& prefs, std::string_view key,
                                      std::string_view description, std::string_view memo) {
  return convertOutputForFieldType(prefs.objectForKey(key).toString(), description, memo);
}

}  // namespace corvela
