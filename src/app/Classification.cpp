#include "app/Classification.h"

#include "lists/Accounts.h"
#include "text/CalendarDay.h"
#include "text/Dates.h"

namespace corvela {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Whether a header-less "D" line starts a register: the rest of it must be a QIF date.
bool isQIFDateLine(std::string_view line, const DateTables& tables) {
  if (!startsWith(line, "D")) return false;
  std::string_view date = line.substr(1);
  const CalendarDay today = CalendarDay::today();
  return parseQIFDate(date, tables, false, today) || parseQIFDate(date, tables, true, today);
}

bool isWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

bool isOFX(std::string_view text) {
  if (text.find("OFXHEADER") != std::string_view::npos) return true;
  // Some banks and the OFX examples leave the header out and begin with the body itself.
  auto skipBlanks = [&text] {
    std::size_t at = 0;
    while (at < text.size() && isWhitespace(text[at])) ++at;
    text.remove_prefix(at);
  };
  if (startsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  skipBlanks();
  if (startsWith(text, "<?xml")) {
    std::size_t end = text.find("?>");
    if (end == std::string_view::npos) return false;
    text.remove_prefix(end + 2);
    skipBlanks();
  }
  return startsWith(text, "<OFX>");
}

std::optional<std::string> ofxAccount(std::string_view text) {
  static constexpr std::string_view kTag = "<ACCTID>";
  std::size_t at = text.find(kTag);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + kTag.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (isWhitespace(rest[i]) || rest[i] == '<') return std::string(rest.substr(0, i));
  }
  return std::nullopt;
}

std::optional<int> ofxStatementKind(std::string_view text) {
  if (text.find("<BANKMSGSRSV") != std::string_view::npos) return kBankKind;
  if (text.find("<CREDITCARDMSGSRSV") != std::string_view::npos) return kCreditCardKind;
  if (text.find("<INVSTMTMSGSRSV") != std::string_view::npos) return kInvestmentKind;
  return std::nullopt;
}

std::string_view kindLabel(int kind) {
  switch (kind) {
    case kBankKind:
      return "Bank";
    case kCreditCardKind:
      return "Credit Card";
    case kInvestmentKind:
      return "Investment";
    case kBankOrCreditCardKind:
      return "Bank or Credit Card";
    default:
      return "Unknown";
  }
}

QIFClassification classifyQIF(std::span<const std::string_view> lines, std::size_t start,
                              bool continuing, const DateTables& tables) {
  using Outcome = QIFClassification::Outcome;
  QIFClassification result;

  std::size_t first = start;
  while (first < lines.size() && lines[first].empty()) ++first;
  if (first >= lines.size()) {
    result.outcome = Outcome::noTransactions;
    return result;
  }
  // The empty last line that a final line end leaves is record structure only under a "!Type"
  // header, which says the text is QIF; without one it would make every text a register.
  bool recordStructure = false;
  bool finalLineEnd = false;
  for (std::size_t i = first + 1; i < lines.size() && !recordStructure; ++i) {
    recordStructure = lines[i] == "^" || (lines[i].empty() && i + 1 < lines.size());
    finalLineEnd = lines[i].empty() && i + 1 == lines.size();
  }

  std::optional<std::size_t> candidate = first;
  if (lines[first] == "!Account") {
    for (std::size_t i = first + 1; i < lines.size(); ++i) {
      if (lines[i] == "!Account" && !continuing) {
        result.outcome = Outcome::multipleAccounts;
        return result;
      }
    }
    if (first + 1 < lines.size()) {
      const std::string_view nameLine = lines[first + 1];
      result.account = nameLine.empty() ? std::string() : std::string(nameLine.substr(1));
    }
    candidate.reset();
    for (std::size_t i = first + 1; i < lines.size(); ++i) {
      if (startsWith(lines[i], "!Type") || startsWith(lines[i], "!TYPE")) {
        candidate = i;
        break;
      }
    }
    if (!candidate && !continuing) {
      result.outcome = Outcome::noTypeLine;
      return result;
    }
  }

  const std::string_view* header = candidate ? &lines[*candidate] : nullptr;
  const bool typeHeader = header && (startsWith(*header, "!Type") || startsWith(*header, "!TYPE"));
  bool looksLikeRegister =
      typeHeader || (header && (startsWith(*header, "C*") || isQIFDateLine(*header, tables)));
  if (typeHeader && finalLineEnd) recordStructure = true;
  if (!looksLikeRegister || !recordStructure) {
    result.outcome = Outcome::text;
    return result;
  }

  result.outcome = Outcome::reg;
  if (*header == "!Type:Bank" || *header == "!Type:CCard") {
    result.kind = *header == "!Type:Bank" ? kBankKind : kCreditCardKind;
    result.skippedLines = *candidate + 1;
  } else if (*header == "!Type:Invst") {
    result.outcome = Outcome::investment;
    result.kind = kInvestmentKind;
    result.skippedLines = *candidate + 1;
  } else {
    result.kind = kBankOrCreditCardKind;
    result.skippedLines = *candidate;
  }
  return result;
}

}  // namespace corvela
