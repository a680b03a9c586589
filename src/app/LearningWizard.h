#pragma once

#include <string>
#include <vector>

#include "inputformats/InputFormatWizard.h"

namespace corvela {

class Controller;
class InputFormatTools;

// The learning wizard as the desktop program runs it: started by the controller's input-format
// port when the person names a format that does not exist yet, its pages drawn in the main
// window, and its end handed back to the controller (the learnt format stored through the
// port and chosen in the main window, or the control view shown again). Everything is borrowed.
class LearningWizard : public WizardHost {
 public:
  LearningWizard(Controller& controller, InputFormatTools& tools, WizardView& view,
                 Platform& platform, const Bundle& bundle)
      : controller_(controller), tools_(tools), wizard_(view, platform, *this, bundle) {}

  // Starts the wizard on the input's text for a new format named `name`.
  void learnFromString(const std::string& text, const std::string& name) {
    wizard_.learnFromString(text, name);
  }
  InputFormatWizard& wizard() { return wizard_; }

  void checkSecurities() override;
  // The security list is not kept yet, so the assumed security is typed.
  std::vector<std::string> securityNames() override { return {}; }
  void formatLearnt(const Value& format) override;
  void learningEnded() override;

 private:
  Controller& controller_;
  InputFormatTools& tools_;
  InputFormatWizard wizard_;
};

}  // namespace corvela
