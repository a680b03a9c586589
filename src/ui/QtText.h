#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace corvela::ui {

// The program keeps text as UTF-8 in std::string; Qt wants QString.
inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

// A message as the core writes it (carriage returns as line breaks, often two in front for
// spacing) turned into text a Qt label shows with the same breaks.
QString displayText(std::string_view message);

// Positions in a QString count UTF-16 units; the core's typing rules count characters (code
// points). These convert between the two for `text`, clamping to its length.
std::size_t characterIndex(const QString& text, int utf16Index);
int utf16Index(const QString& text, std::size_t characterIndex);

}  // namespace corvela::ui
