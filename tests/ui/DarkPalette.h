#pragma once

#include <QColor>
#include <QPalette>

namespace corvela::ui::testing {

// A dark desktop theme's palette, for checking and picturing the windows in it.
inline QPalette darkPalette() {
  QPalette dark;
  const QColor text(0xe6, 0xe6, 0xe6);
  dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
  dark.setColor(QPalette::WindowText, text);
  dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
  dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
  dark.setColor(QPalette::Text, text);
  dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
  dark.setColor(QPalette::ButtonText, text);
  dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
  dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
  dark.setColor(QPalette::ToolTipText, text);
  dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  return dark;
}

}  // namespace corvela::ui::testing
