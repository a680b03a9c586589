#pragma once

#include <string>

#include "app/ControllerPorts.h"

namespace corvela {

class OutputFormatDefinitionDialog;
struct Session;

// The controller's output-format definition port over the definition dialog: a format defined
// from the main window is for the kind of account of the input at hand (Session::gType), so
// that the main window offers it once it is stored. Both are borrowed.
class OutputFormatDefinitionPort : public OutputFormatDefinition {
 public:
  OutputFormatDefinitionPort(OutputFormatDefinitionDialog& dialog, const Session& session)
      : dialog_(dialog), session_(session) {}

  Status available() const override { return Status::OK(); }
  void editFormatAtIndex(int index, const std::string& name, bool forceType) override;

 private:
  OutputFormatDefinitionDialog& dialog_;
  const Session& session_;
};

}  // namespace corvela
