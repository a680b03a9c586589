#include "investment/OFXInvestmentText.h"

#include <algorithm>
#include <cctype>

#include "investment/InvestmentKeys.h"

namespace corvela {

namespace {

// Type numbers of the type table (bundle CVQuickenTypes).
constexpr int kXIn = 0, kXOut = 1, kBuy = 2, kSell = 3, kMiscInc = 4, kMiscExp = 5, kDiv = 6,
              kIntInc = 7, kCGLong = 8, kCGShort = 9, kReinvDiv = 10, kReinvLg = 11, kReinvSh = 12,
              kRtrnCap = 13, kShrsIn = 14, kShrsOut = 15, kMargInt = 16;

constexpr std::string_view kListStart = "<INVTRANLIST>";
constexpr std::string_view kListEnd = "</INVTRANLIST>";

// The opening tags of the aggregates, without brackets.
constexpr std::string_view kAggregateTags[] = {
    "BUYSTOCK",       "BUYMF",    "BUYOTHER", "BUYDEBT",  "BUYOPT",  "SELLSTOCK",  "SELLMF",
    "SELLOTHER",      "SELLDEBT", "SELLOPT",  "REINVEST", "INCOME",  "TRANSFER",   "INVEXPENSE",
    "MARGININTEREST", "RETOFCAP", "SPLIT",    "JRNLFUND", "JRNLSEC", "CLOSUREOPT", "INVBANKTRAN"};
constexpr std::size_t kLongestTag =
    std::ranges::max(kAggregateTags, {}, &std::string_view::size).size();

// The aggregate whose opening tag starts at `at` (a "<"), if any. A download has dozens of tags
// for each aggregate: the name is read once, up to a ">" no further than the longest tag.
std::optional<std::string_view> aggregateAt(std::string_view text, std::size_t at) {
  const std::size_t close = text.substr(at + 1, kLongestTag + 1).find('>');
  if (close == std::string_view::npos) return std::nullopt;
  const std::string_view name = text.substr(at + 1, close);
  for (std::string_view tag : kAggregateTags) {
    if (tag == name) return tag;
  }
  return std::nullopt;
}

void collect(std::string_view list, std::vector<OFXAggregate>& out) {
  std::optional<std::size_t> start;
  std::string_view tag;
  auto finish = [&](std::size_t end) {
    if (!start) return;
    OFXAggregate aggregate;
    aggregate.tag = tag;
    aggregate.text = list.substr(*start, end - *start);
    std::string date = ofxValueAfter(aggregate.text, "<DTTRADE>").value_or("");
    if (date.empty()) date = ofxValueAfter(aggregate.text, "<DTPOSTED>").value_or("");
    aggregate.date = date.substr(0, std::min<std::size_t>(8, date.size()));
    out.push_back(std::move(aggregate));
  };
  for (std::size_t at = list.find('<'); at != std::string_view::npos; at = list.find('<', at + 1)) {
    if (std::optional<std::string_view> found = aggregateAt(list, at)) {
      finish(at);
      start = at;
      tag = *found;
    }
  }
  finish(list.size());
}

bool valueIs(std::string_view text, std::string_view tag, std::string_view value) {
  std::optional<std::string> found = ofxValueAfter(text, tag);
  return found && *found == value;
}

}  // namespace

std::vector<OFXAggregate> ofxInvestmentTransactions(std::string_view text) {
  std::vector<OFXAggregate> out;
  std::size_t begin = text.find(kListStart);
  if (begin == std::string_view::npos) {
    collect(text, out);
    return out;
  }
  while (begin != std::string_view::npos) {
    std::size_t end = text.find(kListEnd, begin);
    std::size_t stop = end == std::string_view::npos ? text.size() : end;
    collect(text.substr(begin, stop - begin), out);
    if (end == std::string_view::npos) break;
    begin = text.find(kListStart, end);
  }
  return out;
}

std::optional<std::string> ofxValueAfter(std::string_view text, std::string_view tag) {
  std::size_t at = text.find(tag);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t from = at + tag.size();
  while (from < text.size() && (text[from] == ' ' || text[from] == '\t')) ++from;
  std::size_t end = text.find_first_of("<\r\n", from);
  if (end == std::string_view::npos) end = text.size();
  std::string value(text.substr(from, end - from));
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  return value;
}

std::map<std::string, std::string> ofxSecurityTable(std::string_view text) {
  std::map<std::string, std::string> table;
  for (std::size_t at = text.find("<SECINFO>"); at != std::string_view::npos;
       at = text.find("<SECINFO>", at + 1)) {
    std::size_t id = text.find("<UNIQUEID>", at);
    if (id == std::string_view::npos) break;
    std::size_t name = text.find("<SECNAME>", id);
    if (name == std::string_view::npos) break;
    std::string key = ofxValueAfter(text.substr(id), "<UNIQUEID>").value_or("");
    std::string value = ofxValueAfter(text.substr(name), "<SECNAME>").value_or("");
    table.emplace(std::move(key), std::move(value));
  }
  return table;
}

std::optional<int> proposedQuickenType(const OFXAggregate& aggregate, bool negative,
                                       bool sharesNegative) {
  const std::string_view tag = aggregate.tag;
  const std::string_view text = aggregate.text;
  if (tag.starts_with("BUY")) {
    if (valueIs(text, "<BUYTYPE>", "BUYTOCOVER") || valueIs(text, "<OPTBUYTYPE>", "BUYTOCLOSE"))
      return 18;
    return kBuy;
  }
  if (tag.starts_with("SELL")) {
    if (valueIs(text, "<SELLTYPE>", "SELLSHORT") || valueIs(text, "<OPTSELLTYPE>", "SELLTOOPEN"))
      return 17;
    return kSell;
  }
  std::string income = ofxValueAfter(text, "<INCOMETYPE>").value_or("");
  if (tag == "REINVEST") {
    if (income == "CGLONG") return kReinvLg;
    if (income == "CGSHORT") return kReinvSh;
    return kReinvDiv;
  }
  if (tag == "INCOME") {
    if (income == "DIV") return kDiv;
    if (income == "INTEREST") return kIntInc;
    if (income == "CGLONG") return kCGLong;
    if (income == "CGSHORT") return kCGShort;
    return negative ? kMiscExp : kMiscInc;
  }
  if (tag == "TRANSFER" || tag == "JRNLSEC" || tag == "SPLIT") {
    if (valueIs(text, "<TFERACTION>", "IN")) return kShrsIn;
    if (valueIs(text, "<TFERACTION>", "OUT")) return kShrsOut;
    return sharesNegative ? kShrsOut : kShrsIn;
  }
  if (tag == "CLOSUREOPT") return kShrsOut;
  if (tag == "INVEXPENSE") return kMiscExp;
  if (tag == "MARGININTEREST") return kMargInt;
  if (tag == "RETOFCAP") return kRtrnCap;
  if (tag == "JRNLFUND") return quickenType::transferBySign;
  if (tag == "INVBANKTRAN") return negative ? quickenType::withdrawal : quickenType::deposit;
  (void)kXIn;
  (void)kXOut;
  return std::nullopt;
}

}  // namespace corvela
