#include "app/OutputFormatDefinitionPort.h"

#include "app/Session.h"
#include "editors/OutputFormatDefinitionDialog.h"

namespace corvela {

void OutputFormatDefinitionPort::editFormatAtIndex(int index, const std::string& name,
                                                   bool forceType) {
  dialog_.editFormatAtIndex(index, name, forceType, session_.gType);
}

}  // namespace corvela
