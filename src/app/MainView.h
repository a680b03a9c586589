#pragma once

#include <string>

#include "app/MainForm.h"

namespace corvela {

// The main window as the controller sees it. The desktop program implements it with Qt, the
// command line with a window-less stand-in, the tests with tests/support/FakeMainView.h. What
// the person does comes back as calls of Controller methods; the status view, panels and
// alerts go through Platform.
class MainView {
 public:
  virtual ~MainView() = default;

  // Draws `form` (the controller calls it after every change it makes). Does not bring the
  // window forward.
  virtual void show(const MainForm& form) = 0;
  // Swaps the main window to the control view, titled `title`, and brings the window forward.
  virtual void showControlView(const std::string& title) = 0;
  // Whether the main window is on screen (an automatic run happens without it).
  virtual bool isVisible() const = 0;
  // Hides the key window at the end of a run.
  virtual void hideKeyWindow() = 0;
  // Gives `control` the keyboard focus.
  virtual void focus(MainControl control) = 0;
};

}  // namespace corvela
