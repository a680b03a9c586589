#include "app/InputFormatToolsPort.h"

#include "app/NotAvailableYet.h"
#include "inputformats/FormatTransfer.h"
#include "inputformats/Formats.h"
#include "platform/Platform.h"

namespace corvela {

void InputFormatToolsPort::importFile(const std::string& path) { transfer_.importFile(path); }

void InputFormatToolsPort::learnFromString(const std::string& text, const std::string& cString,
                                           const std::string& name) {
  if (learn_) {
    learn_(text, cString, name);
    return;
  }
  platform_.showStatus(std::string(kNotAvailableTitle),
                       "\r\rLearning input formats is not available yet in this version of "
                       "Corvela.");
}

void InputFormatToolsPort::addFormat(const Value& format) { formats_.addFormat(format); }

}  // namespace corvela
