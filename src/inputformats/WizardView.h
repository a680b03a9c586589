#pragma once

#include <string>
#include <vector>

#include "inputformats/WizardForm.h"
#include "prefs/Value.h"

namespace corvela {

// The learning wizard's window as the wizard sees it. The desktop program implements it with
// Qt, the tests with a fake that records what was shown.
class WizardView {
 public:
  virtual ~WizardView() = default;
  // Draws `form.page` of the form (page 0: the wizard window goes away).
  virtual void show(const WizardForm& form) = 0;
};

// What the wizard asks of the program around it (the controller).
class WizardHost {
 public:
  virtual ~WizardHost() = default;
  // An investment format is being learnt: warns when there is no security list; the wizard
  // goes on either way.
  virtual void checkSecurities() = 0;
  // The names offered for the security to assume.
  virtual std::vector<std::string> securityNames() = 0;
  // The wizard finished: stores `format` in the input-format store, makes it the main window's
  // chosen format and shows the main window's control view with the format field focused.
  virtual void formatLearnt(const Value& format) = 0;
  // The wizard was cancelled or stopped: nothing was stored; the control view shows again with
  // the format field focused.
  virtual void learningEnded() = 0;
};

}  // namespace corvela
