#pragma once

#include "app/ControllerPorts.h"
#include "editors/EditFormats.h"
#include "editors/EditOutputFormats.h"
#include "editors/EditorHost.h"
#include "editors/ListEditors.h"

namespace corvela {

class Controller;
class Platform;

// The controller's menu items as the editors switch them.
class ControllerMenus : public EditorHost {
 public:
  explicit ControllerMenus(Controller& controller) : controller_(controller) {}
  void disableMenuItems() override;
  void enableMenuItems() override;

 private:
  Controller& controller_;
};

// Opens the output format definition dialog through its port for the list editor; while the
// dialog is not available, an alert says so and nothing changes.
DefineOutputFormat outputFormatDefiner(OutputFormatDefinition& port, Platform& platform);

}  // namespace corvela
