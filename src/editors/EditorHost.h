#pragma once

namespace corvela {

// What an editor asks of the application controller: while an editor is open nothing else may
// start a run or change the stored lists.
class EditorHost {
 public:
  virtual ~EditorHost() = default;
  virtual void disableMenuItems() = 0;
  virtual void enableMenuItems() = 0;
};

}  // namespace corvela
