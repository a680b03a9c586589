#include "app/Classification.h"

#include "lists/Accounts.h"
#include "text/CalendarDay.h"
#include "text/Dates.h"
#include "text/Lines.h"

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

QIFClassification classifyQIF(std::string_view text, std::size_t start, bool continuing,
                              const DateTables& tables) {
  using Outcome = QIFClassification::Outcome;
  QIFClassification result;

  // One walk over the lines, which stops as soon as nothing later can change the answer: the
  // text of a long register is never listed line by line.
  LineWalk walk(text);
  std::string_view line;
  std::size_t index = 0;  // of the next line the walk gives
  std::optional<std::size_t> first;
  std::string_view firstLine;
  for (; walk.next(line); ++index) {
    if (index >= start && !line.empty()) {
      first = index;
      firstLine = line;
      ++index;
      break;
    }
  }
  if (!first) {
    result.outcome = Outcome::noTransactions;
    return result;
  }
  auto isTypeLine = [](std::string_view each) {
    return startsWith(each, "!Type") || startsWith(each, "!TYPE");
  };
  // Text whose first line can head neither a register nor an account block is text, whatever
  // follows: a long CSV export is not walked to its end.
  const bool accountBlock = firstLine == "!Account";
  if (!accountBlock && !isTypeLine(firstLine) && !startsWith(firstLine, "C*") &&
      !isQIFDateLine(firstLine, tables)) {
    result.outcome = Outcome::text;
    return result;
  }

  // The empty last line that a final line end leaves is record structure only under a "!Type"
  // header, which says the text is QIF; without one it would make every text a register. An
  // empty line is known not to be the last when another one follows.
  bool recordStructure = false;
  bool lastWasEmpty = false;
  bool secondAccount = false;
  std::optional<std::string_view> nameLine;
  std::optional<std::size_t> typeLineIndex;
  std::string_view typeLine;
  for (; walk.next(line); ++index) {
    if (!recordStructure) {
      recordStructure = lastWasEmpty || line == "^";
      lastWasEmpty = line.empty();
    }
    if (accountBlock) {
      if (!nameLine) nameLine = line;
      if (line == "!Account" && !continuing) secondAccount = true;
      if (!typeLineIndex && isTypeLine(line)) {
        typeLineIndex = index;
        typeLine = line;
      }
    }
    // Settled: a second account block refuses the input; otherwise the record structure must
    // be seen and, under an "!Account" line, every line looked at for a second block (unless
    // continuing, when its "!Type" line is all that is wanted).
    if (secondAccount) break;
    if (recordStructure && (!accountBlock || (continuing && typeLineIndex))) break;
  }
  const bool finalLineEnd = !recordStructure && lastWasEmpty;

  std::optional<std::size_t> candidate = first;
  std::string_view header = firstLine;
  if (accountBlock) {
    if (secondAccount) {
      result.outcome = Outcome::multipleAccounts;
      return result;
    }
    if (nameLine)
      result.account = nameLine->empty() ? std::string() : std::string(nameLine->substr(1));
    candidate = typeLineIndex;
    header = typeLine;
    if (!candidate && !continuing) {
      result.outcome = Outcome::noTypeLine;
      return result;
    }
  }

  // The candidate, when there is one, can head a register: the first line was looked at above,
  // and a type line found under "!Account" is one.
  const bool typeHeader = candidate && isTypeLine(header);
  if (typeHeader && finalLineEnd) recordStructure = true;
  if (!candidate || !recordStructure) {
    result.outcome = Outcome::text;
    return result;
  }

  result.outcome = Outcome::reg;
  if (header == "!Type:Bank" || header == "!Type:CCard") {
    result.kind = header == "!Type:Bank" ? kBankKind : kCreditCardKind;
    result.skippedLines = *candidate + 1;
  } else if (header == "!Type:Invst") {
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
