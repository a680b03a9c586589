#include "app/LearningWizard.h"

#include "app/Controller.h"
#include "app/ControllerPorts.h"
#include "formats/InputFormatKeys.h"

namespace corvela {

void LearningWizard::checkSecurities() { controller_.checkSecurities(); }

void LearningWizard::formatLearnt(const Value& format) {
  tools_.addFormat(format);
  controller_.inputFormatLearnt(format[inputFormatKey::Name].toString());
}

void LearningWizard::learningEnded() { controller_.learningEnded(); }

}  // namespace corvela
