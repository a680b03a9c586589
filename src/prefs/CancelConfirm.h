#pragma once

namespace corvela {

class Platform;
class Preferences;

// The question a processor asks when the person cancels during a run: stop, finish later or
// finish now. The person can ask for the same answer every time from then on, which is kept in
// the option list ("justStop", "justFinishLater"). The options and the platform are borrowed
// and must outlive the object.
class CancelConfirm {
 public:
  enum Answer { stop = 0, finishLater = 1, finishNow = 2 };

  CancelConfirm(Preferences& options, Platform& platform)
      : options_(options), platform_(platform) {}

  // The answer: stop at once when the option "justStop" is on, finish later when
  // "justFinishLater" is on; otherwise the cancel confirmation sheet is shown, an always-stop
  // or always-finish-later choice in it is added to the option list, and the button pressed is
  // the answer. A reply naming no known button counts as finish now, which changes nothing.
  Answer cancelConfirm();

 private:
  Preferences& options_;
  Platform& platform_;
};

}  // namespace corvela
