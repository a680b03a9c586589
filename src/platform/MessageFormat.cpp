#include "platform/MessageFormat.h"

namespace corvela {

std::string formatMessage(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(format.size() + 64);
  const std::string_view* next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c == '%' && i + 1 < format.size()) {
      char kind = format[i + 1];
      if (kind == '@' || kind == 'd') {
        if (next != args.end()) out.append(*next++);
        ++i;
        continue;
      }
      if (kind == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace corvela
