#include "investment/InvestmentFields.h"

#include "formats/InputFormatKeys.h"
#include "text/Amounts.h"
#include "text/Fields.h"

namespace corvela {

std::optional<std::string> InvestmentFields::fieldAt(std::string_view key) const {
  const Value* index = format_.find(key);
  if (!index || !index->isNumber() || index->toInt() < 0) return std::nullopt;
  auto at = static_cast<std::size_t>(index->toInt());
  if (at >= fields_.size()) return std::nullopt;
  return fields_[at];
}

std::string InvestmentFields::getField(std::string_view key) const {
  return fieldAt(key).value_or("");
}

std::optional<std::string> InvestmentFields::findMatch(std::string_view match, bool after) const {
  for (const std::string& field : fields_) {
    if (std::optional<std::size_t> at = matchField(field, match, after)) return field.substr(*at);
  }
  return std::nullopt;
}

std::string InvestmentFields::getFieldOrAfter(std::string_view key,
                                              std::string_view endings) const {
  std::optional<std::string> text = fieldAt(key);
  if (!text) {
    const Value* match = format_.find(std::string(key) + "After");
    if (match && match->isString()) text = findMatch(match->toString(), true);
  }
  if (!text) return "";
  std::size_t cut = text->find_first_of(endings);
  return cut == std::string::npos ? *text : text->substr(0, cut);
}

double InvestmentFields::getNumber(std::string_view name, bool after, bool before,
                                   std::string& errorText) {
  std::optional<std::string> text = fieldAt(name);
  const bool ofx = format_.contains(inputFormatKey::OFX);
  if (!text && after) {
    const Value* match = format_.find(std::string(name) + "After");
    if (match && match->isString()) text = findMatch(match->toString(), true);
    // A bank line of an investment download states its amount as TRNAMT, not TOTAL.
    if (!text && ofx && name == inputFormatKey::Amount) text = findMatch("<TRNAMT>", true);
  }
  if (!text && before) {
    const Value* match = format_.find(std::string(name) + "Before");
    if (match && match->isString()) text = findMatch(match->toString(), false);
  }
  if (!text) return 0;
  AmountReading reading = findAmount(convertEuropeanAmount(*text));
  if (reading.value == -1.0) {
    std::size_t cut = text->find_first_of("<\r\n");
    errorText = "Invalid: " + (cut == std::string::npos ? *text : text->substr(0, cut));
  }
  if (name == inputFormatKey::Amount) amountWasNegative_ = reading.negative;
  if (name == inputFormatKey::Debit) amountWasNegative_ = true;
  if (name == inputFormatKey::Credit) amountWasNegative_ = false;
  if (name == inputFormatKey::Shares) sharesWereNegative_ = reading.negative;
  return reading.value;
}

std::string InvestmentFields::getType() const {
  if (format_.contains(inputFormatKey::OFX)) {
    if (fields_.size() < 2) return std::string(kUnknownOFXType);
    return OFXTypes(format_[inputFormatKey::Types]).typeOf(fields_[1]);
  }
  if (std::optional<std::string> field = fieldAt(inputFormatKey::Type)) return *field;
  const Value* match = format_.find("TypeAfter");
  if (!match || !match->isString()) return "";
  std::string text = findMatch(match->toString(), true).value_or("");
  std::size_t cut = text.find_first_of("\r\n");
  return cut == std::string::npos ? text : text.substr(0, cut);
}

OFXTypes::OFXTypes(const Value& types) {
  if (!types.isArray()) return;
  for (const Value& entry : types.toArray()) {
    const std::string& ofxType = str(entry, formatMappingKey::ofxType);
    if (ofxType.empty()) continue;
    const std::size_t order = types_.size();
    types_.push_back({ofxType, str(entry, formatMappingKey::formatType)});
    const std::size_t close = ofxType.find('>');
    if (ofxType.front() == '<' && close != std::string::npos) {
      byTag_[ofxType.substr(0, close + 1)].push_back(order);
    } else {
      others_.push_back(order);
    }
  }
}

std::string OFXTypes::typeOf(std::string_view text) const {
  std::size_t first = types_.size();
  if (!byTag_.empty()) {
    for (std::size_t open = text.find('<'); open != std::string_view::npos;
         open = text.find('<', open + 1)) {
      const std::size_t close = text.find('>', open);
      if (close == std::string_view::npos) break;
      auto found = byTag_.find(text.substr(open, close - open + 1));
      if (found == byTag_.end()) continue;
      const std::string_view rest = text.substr(close + 1);
      for (std::size_t order : found->second) {
        if (order >= first) break;
        const std::string& ofxType = types_[order].ofxType;
        if (rest.starts_with(std::string_view(ofxType).substr(close - open + 1))) {
          first = order;
          break;
        }
      }
    }
  }
  for (std::size_t order : others_) {
    if (order >= first) break;
    if (text.find(types_[order].ofxType) != std::string_view::npos) {
      first = order;
      break;
    }
  }
  return first < types_.size() ? types_[first].formatType : std::string(kUnknownOFXType);
}

}  // namespace corvela
