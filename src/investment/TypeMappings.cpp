#include "investment/TypeMappings.h"

#include "formats/InputFormatKeys.h"
#include "text/CaseInsensitive.h"

namespace corvela {

namespace mapKey = formatMappingKey;

TypeMatch quickenTypeForFormatType(const Value& format, std::string_view typeText,
                                   bool amountWasNegative) {
  TypeMatch match;
  const Value& mappings = format[inputFormatKey::TypeMappings];
  if (!mappings.isArray()) return match;
  std::size_t best = 0;
  long index = 0;
  for (const Value& mapping : mappings.toArray()) {
    const std::string& word = str(mapping, mapKey::formatType);
    if (word.empty()) {
      if (typeText.empty()) {
        match.index = index;
        break;
      }
    } else if (word.size() > best && word.size() <= typeText.size() &&
               beginsWithIgnoringCase(typeText, word)) {
      match.index = index;
      best = word.size();
    }
    ++index;
  }
  if (match.index < 0) return match;
  const Value& mapping = mappings[static_cast<std::size_t>(match.index)];
  int type = static_cast<int>(mapping[mapKey::quickenType].toInt());
  if (type == quickenType::transferBySign) type = amountWasNegative ? 1 : 0;
  if (type == quickenType::incomeBySign) type = amountWasNegative ? 5 : 4;
  match.quickenType = type;
  match.assumedSecurity = str(mapping, mapKey::assumedSecurity);
  return match;
}

void deleteTypeMapping(Value& format, long matchedIndex) {
  Value mappings = format[inputFormatKey::TypeMappings];
  if (!mappings.isArray() || matchedIndex < 0 ||
      static_cast<std::size_t>(matchedIndex) >= mappings.size())
    return;
  mappings.removeAt(static_cast<std::size_t>(matchedIndex));
  format.set(inputFormatKey::TypeMappings, std::move(mappings));
}

void addTypeMapping(Value& format, long matchedIndex, std::string_view word, int type,
                    std::string_view assumedSecurity) {
  deleteTypeMapping(format, matchedIndex);
  Value mappings = format[inputFormatKey::TypeMappings];
  if (!mappings.isArray()) mappings = Value::array();
  Value mapping = Value::dictionary();
  mapping.set(mapKey::formatType, Value(word));
  mapping.set(mapKey::quickenType, Value(type));
  if (!assumedSecurity.empty()) mapping.set(mapKey::assumedSecurity, Value(assumedSecurity));
  mappings.append(std::move(mapping));
  format.set(inputFormatKey::TypeMappings, std::move(mappings));
}

std::string normalizeQIFAmount(std::string_view amount, std::string_view removeCharacters,
                               bool european) {
  std::string text;
  for (char c : amount)
    if (removeCharacters.find(c) == std::string_view::npos) text += c;
  if (european) {
    std::string converted;
    for (char c : text) {
      if (c == ',') continue;
      converted += c == '.' ? ',' : c;
    }
    text = converted;
  }
  if (!text.empty() && text[0] == '(') {
    text = "-" + text.substr(1);
  } else if (std::size_t minus = text.find('-', 1); minus != std::string::npos) {
    text.erase(minus, 1);
    text = "-" + text;
  }
  return text;
}

std::optional<std::string> normalizeQIFAmountIn(Value& dictionary,
                                                std::string_view removeCharacters, bool european) {
  const Value* amount = dictionary.find("amount");
  if (!amount) return std::nullopt;
  if (dictionary.contains("amountAlreadyConverted")) return amount->toString();
  std::string text = normalizeQIFAmount(amount->toString(), removeCharacters, european);
  dictionary.set("amount", Value(text));
  dictionary.set("amountAlreadyConverted", Value(true));
  return text;
}

}  // namespace corvela
