#pragma once

#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/MainView.h"

namespace corvela::testing {

// A main window that records what the controller showed: the last form drawn, the titles of
// the control view brought forward, the focus and whether the window was hidden.
class FakeMainView : public MainView {
 public:
  void show(const MainForm& form) override {
    shown = form;
    ++showCount;
  }
  void showControlView(const std::string& title) override {
    controlViewTitles.push_back(title);
    visible = true;
  }
  bool isVisible() const override { return visible; }
  void hideKeyWindow() override {
    visible = false;
    ++hideCount;
  }
  void focus(MainControl control) override { focused.push_back(control); }

  MainForm shown;
  int showCount = 0;
  std::vector<std::string> controlViewTitles;
  bool visible = false;
  int hideCount = 0;
  std::vector<MainControl> focused;
};

}  // namespace corvela::testing
