#include "app/Controller.h"
#include "app/InputFormatChoice.h"
#include "app/MainView.h"

namespace corvela {

// The learning wizard's end. Either way the input stays loaded and the control view comes back
// with the format field focused; a learnt format is the field's choice, as if typed.

void Controller::inputFormatLearnt(const std::string& name) {
  form_.inputFormatText.items = inputFormatNames(parts_.store);
  form_.inputFormatText.numberOfVisibleItems = 10;
  form_.inputFormatText.text = name;
  inputFormatSet();
  learningEnded();
}

void Controller::learningEnded() {
  redraw();
  parts_.view.showControlView("Corvela Control");
  parts_.view.focus(MainControl::inputFormatText);
  checkEverythingFilledIn();
}

}  // namespace corvela
