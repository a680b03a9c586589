#include "app/ListEditing.h"

#include "app/Controller.h"
#include "app/NotAvailableYet.h"
#include "platform/Platform.h"

namespace corvela {

void ControllerMenus::disableMenuItems() {
  controller_.disableMenuItems();
  if (changed_) changed_();
}

void ControllerMenus::enableMenuItems() {
  controller_.enableMenuItems();
  if (changed_) changed_();
}

DefineOutputFormat outputFormatDefiner(OutputFormatDefinition& port, Platform& platform) {
  return [&port, &platform](int index, const std::string& name) {
    Status availability = port.available();
    if (!availability.ok()) {
      // An alert, not the status view: the list editor's window stays in front.
      platform.runAlert({std::string(kNotAvailableTitle), availability.message(), {"OK"}});
      return;
    }
    // The list editor's formats may be of any kind; the type stays free.
    port.editFormatAtIndex(index, name, false);
  };
}

}  // namespace corvela
