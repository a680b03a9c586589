#include "ui/ElidedLabel.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace corvela::ui {

ElidedLabel::ElidedLabel(QWidget* parent, int preferredWidth)
    : QLabel(parent), preferredWidth_(preferredWidth) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ElidedLabel::sizeHint() const {
  QSize full = QLabel::sizeHint();
  return {std::min(full.width(), preferredWidth_), full.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
  QSize full = QLabel::minimumSizeHint();
  int few = fontMetrics().horizontalAdvance(QStringLiteral("MMMM…"));
  return {std::min(full.width(), few), full.height()};
}

bool ElidedLabel::isElided() const {
  return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidedLabel::updateToolTip() {
  // The whole text is a hover away whenever it does not fit.
  QString tip = isElided() ? text() : QString();
  if (toolTip() != tip) setToolTip(tip);
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  updateToolTip();
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  updateToolTip();
  QPainter painter(this);
  QRect area = contentsRect();
  QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
  style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), shown, foregroundRole());
}

QColor warningTextColor(const QPalette& palette) {
  const bool darkWindow = palette.color(QPalette::Window).lightnessF() < 0.5;
  return darkWindow ? QColor(0xff, 0x8a, 0x80) : QColor(0xb0, 0x1c, 0x1c);
}

}  // namespace corvela::ui
