#pragma once

#include <string>
#include <vector>

namespace corvela {

// An alert: a title, an informative text and up to three buttons. The first button is the
// default one (Return presses it).
struct Alert {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;  // 1 to 3 labels, default first
};

// Everything the core asks of the desktop: modal questions that return their answer, and the
// few services a window system offers. The desktop program implements it with Qt, the command
// line non-interactively, and the tests with a scripted fake (tests/support/ScriptedPlatform.h).
class Platform {
 public:
  virtual ~Platform() = default;

  // Shows the alert and returns the index of the button pressed (0 = the default button).
  virtual int runAlert(const Alert& alert) = 0;
};

}  // namespace corvela
