#include "prefs/CancelConfirm.h"

#include "platform/Platform.h"
#include "prefs/OptionNames.h"
#include "prefs/Preferences.h"

namespace corvela {

CancelConfirm::Answer CancelConfirm::cancelConfirm() {
  if (options_.isOn(option::justStop)) return stop;
  if (options_.isOn(option::justFinishLater)) return finishLater;

  CancelConfirmReply reply = platform_.runCancelConfirm();
  if (reply.remember == CancelRemember::alwaysStop) options_.add(option::justStop);
  if (reply.remember == CancelRemember::alwaysFinishLater) options_.add(option::justFinishLater);
  switch (reply.button) {
    case stop:
      return stop;
    case finishLater:
      return finishLater;
    default:
      // Going on with the run is the one answer that loses nothing.
      return finishNow;
  }
}

}  // namespace corvela
