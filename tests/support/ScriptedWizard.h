#pragma once

#include <optional>
#include <string>
#include <vector>

#include "inputformats/InputFormatWizard.h"
#include "prefs/Bundle.h"
#include "support/ScriptedPlatform.h"

namespace corvela::testing {

// The learning wizard with a recording window and host: every form it showed, the record it
// handed over at the end (or that it ended without one), and a scripted platform for its sheets.
class ScriptedWizard : public WizardView, public WizardHost {
 public:
  explicit ScriptedWizard(Bundle tables = Bundle::builtIn())
      : bundle(std::move(tables)), wizard(*this, platform, *this, bundle) {}

  void show(const WizardForm& form) override { shown.push_back(form); }
  void checkSecurities() override { ++securityChecks; }
  std::vector<std::string> securityNames() override { return {"Acme Fund", "Widget Corp"}; }
  void formatLearnt(const Value& format) override { learnt = format; }
  void learningEnded() override { ++ended; }

  const WizardForm& form() const { return wizard.form(); }
  // Answers the next sheet with OK and runs `action`; the sheet's title and text afterwards.
  template <typename Action>
  Alert expectSheet(Action action) {
    platform.answerNextAlert(0);
    action();
    return platform.alerts.empty() ? Alert{} : platform.alerts.back();
  }

  Bundle bundle;
  ScriptedPlatform platform;
  InputFormatWizard wizard;
  std::vector<WizardForm> shown;
  std::optional<Value> learnt;
  int ended = 0;
  int securityChecks = 0;
};

}  // namespace corvela::testing
