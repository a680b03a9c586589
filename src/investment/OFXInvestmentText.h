#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvela {

// The transaction aggregates of an investment OFX download. Every aggregate (BUYSTOCK, SELLMF,
// REINVEST, INCOME, TRANSFER, INVBANKTRAN, ...) becomes one transaction, whether it is dated by
// <DTTRADE> or <DTPOSTED>, so trades and bank lines of one download are all read and a bank line
// never joins the trade before it.

// `tag` and `text` are views into the download's text, which must outlive them: a long download
// is not held twice.
struct OFXAggregate {
  std::string_view tag;   // "BUYSTOCK"
  std::string_view text;  // from its opening tag up to the next aggregate or the end of its list
  std::string date;       // the 8 digits after <DTTRADE>, else after <DTPOSTED>; empty when none
};

// The aggregates of `text` in order. An aggregate runs to the opening tag of the next one, to
// the end of the transaction list (</INVTRANLIST>) or to the end of the text.
std::vector<OFXAggregate> ofxInvestmentTransactions(std::string_view text);

// The value after the first `tag` in `text` (blanks before it skipped): up to the first "<",
// carriage return or line feed, trailing blanks dropped; none when the tag is absent.
std::optional<std::string> ofxValueAfter(std::string_view text, std::string_view tag);

// The security table of the download: each <SECINFO>'s <UNIQUEID> with the <SECNAME> that
// follows it. The scan stops at the first <SECINFO> without both.
std::map<std::string, std::string> ofxSecurityTable(std::string_view text);

// The type number (QIF action of the type table) that an aggregate naturally stands for, or
// none when there is no natural one. `negative` is the sign of its amount (TOTAL or TRNAMT),
// `sharesNegative` that of its units.
std::optional<int> proposedQuickenType(const OFXAggregate& aggregate, bool negative,
                                       bool sharesNegative);

}  // namespace corvela
