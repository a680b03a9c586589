#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QPushButton;

namespace corvela::ui {

// What the main window shows while no input is loaded: how to start, with buttons for the
// File menu's two ways in. The buttons follow their menu items' enabled state.
class StartView : public QWidget {
  Q_OBJECT

 public:
  // The actions are borrowed (the window's menu items) and must outlive the view.
  StartView(QAction* processFile, QAction* processClipboard, QWidget* parent = nullptr);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The welcome text's lines are at most this wide.
  static constexpr int kTextWidth = 460;
  QLabel* text_;
};

}  // namespace corvela::ui
