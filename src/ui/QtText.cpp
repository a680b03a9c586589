#include "ui/QtText.h"

#include <algorithm>

namespace corvela::ui {

QString displayText(std::string_view message) {
  QString text = qs(message);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

std::size_t characterIndex(const QString& text, int utf16Index) {
  int end = std::clamp(utf16Index, 0, static_cast<int>(text.size()));
  std::size_t characters = 0;
  for (int i = 0; i < end; ++i)
    if (!text.at(i).isLowSurrogate()) ++characters;
  return characters;
}

int utf16Index(const QString& text, std::size_t characterIndex) {
  std::size_t characters = 0;
  int i = 0;
  for (; i < text.size(); ++i) {
    if (text.at(i).isLowSurrogate()) continue;
    if (characters == characterIndex) return i;
    ++characters;
  }
  return i;
}

}  // namespace corvela::ui
