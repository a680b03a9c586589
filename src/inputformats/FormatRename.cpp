#include "inputformats/FormatRename.h"

#include "inputformats/Formats.h"

namespace corvela {

FormatRename::FormatRename(const Formats& formats, std::string name) : formats_(formats) {
  controlTextDidChange(std::move(name));
}

void FormatRename::controlTextDidChange(std::string text) {
  form_.name = std::move(text);
  form_.okEnabled = !form_.name.empty();
  form_.duplicateMsgVisible = formats_.formatForName(form_.name).has_value();
}

}  // namespace corvela
