#pragma once

#include <QLabel>

namespace corvela::ui {

// A one-line label for a text of any length (a memo, a file name): it asks for no more room
// than `preferredWidth` and can shrink to a few characters, shows as much of its text as fits
// with an ellipsis at the end, and then carries the whole text as its tooltip. So a long text
// never widens its window.
class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr, int preferredWidth = 360);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  // Whether the text is cut short at the label's present width.
  bool isElided() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateToolTip();

  int preferredWidth_;
};

// The colour of a warning's text that reads well on `palette`'s window colour: dark red on a
// light window, light red on a dark one.
QColor warningTextColor(const QPalette& palette);

}  // namespace corvela::ui
