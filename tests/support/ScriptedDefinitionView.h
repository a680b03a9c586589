#pragma once

#include <functional>

#include "editors/OutputFormatDefinitionDialog.h"

namespace corvela::testing {

// The output format definition dialog as a script: each run hands the presenter to `script`,
// which plays the person's actions and answers whether OK was pressed. Without a script the
// dialog is cancelled. Counts the runs.
struct ScriptedDefinitionView : OutputFormatDefinitionView {
  bool runDefinitionDialog(OutputFormatDefinitionDialog& presenter) override {
    ++runs;
    return script ? script(presenter) : false;
  }
  std::function<bool(OutputFormatDefinitionDialog&)> script;
  int runs = 0;
};

}  // namespace corvela::testing
