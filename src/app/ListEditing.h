#pragma once

#include <functional>

#include "app/ControllerPorts.h"
#include "editors/EditFormats.h"
#include "editors/EditOutputFormats.h"
#include "editors/EditorHost.h"
#include "editors/ListEditors.h"

namespace corvela {

class Controller;
class Platform;

// The controller's menu items as the editors switch them. A front end whose menus show the
// controller's state only when redrawn hands a redraw to setMenusChanged.
class ControllerMenus : public EditorHost {
 public:
  explicit ControllerMenus(Controller& controller) : controller_(controller) {}
  void disableMenuItems() override;
  void enableMenuItems() override;
  void setMenusChanged(std::function<void()> changed) { changed_ = std::move(changed); }

 private:
  Controller& controller_;
  std::function<void()> changed_;
};

// Opens the output format definition dialog through its port for the list editor; while the
// dialog is not available, an alert says so and nothing changes.
DefineOutputFormat outputFormatDefiner(OutputFormatDefinition& port, Platform& platform);

}  // namespace corvela
