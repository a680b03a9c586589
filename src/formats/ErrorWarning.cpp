#include "formats/ErrorWarning.h"

#include <string>

#include "formats/InputFormatKeys.h"
#include "platform/Platform.h"

namespace corvela {

ErrorWarning::Answer ErrorWarning::format(const std::optional<Value>& format,
                                          std::string_view message, std::string_view text,
                                          std::string_view buttonTitle) {
  if (suppressed_) return goOn;
  if (format && (*format)[inputFormatKey::dontWarn].toBool()) return goOn;

  InputErrorWarning warning;
  warning.message = std::string(message);
  warning.text = std::string(text);
  warning.buttonTitle = std::string(buttonTitle);
  warning.showDontWarnSwitch = format.has_value();
  InputErrorWarningReply reply = platform_.runInputErrorWarning(warning);

  // Without a format the switch was not offered, so a set switch cannot be the person's wish.
  if (reply.dontWarn && format) {
    Value silenced = *format;
    silenced.set(inputFormatKey::dontWarn, true);
    if (addFormat_) addFormat_(silenced);
    suppressed_ = true;
  }
  return reply.answer == goOn ? goOn : cancel;
}

}  // namespace corvela
