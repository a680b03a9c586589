#include "lists/ImportQuickenExport.h"

#include <cctype>
#include <optional>

#include "lists/Accounts.h"
#include "lists/SecurityKeys.h"
#include "platform/Platform.h"
#include "prefs/CVPrefs.h"
#include "prefs/OptionNames.h"
#include "prefs/Value.h"
#include "text/Lines.h"

namespace corvela {
namespace {

enum class Section { none, accounts, categories, securities };

// Whether `line` heads the transactions of an account rather than a list.
bool isRegisterHeader(std::string_view line) {
  static constexpr std::string_view kTypes[] = {"bank", "cash", "ccard", "invst", "oth a", "oth l"};
  if (line.size() < 6) return false;
  std::string head(line.substr(0, 6));
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (head != "!type:") return false;
  std::string_view rest = line.substr(6);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
  std::string type(rest);
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::string_view known : kTypes)
    if (type == known) return true;
  return false;
}

}  // namespace

int ImportQuickenExport::process(std::string_view text, std::size_t* indexPtr,
                                 const std::string& source) {
  Section section = Section::none;
  bool accountListMode = false;
  bool pricesExplained = false;
  std::optional<Value> accounts, categories, securities;
  // The name of the account or security record being read, waiting for its type or symbol.
  std::optional<std::string> pending;

  LineWalk lines(text);
  std::string_view line;
  std::size_t index = 0;
  for (; lines.next(line); ++index) {
    if (line == "!Option:AutoSwitch") {
      section = Section::accounts;
      accounts = Value::array();
      accountListMode = true;
      continue;
    }
    if (line == "!Clear:AutoSwitch") {
      accountListMode = false;
      continue;
    }
    if (line == "!Type:Cat") {
      section = Section::categories;
      if (!categories) categories = Value::array();
      continue;
    }
    if (line == "!Type:Security") {
      section = Section::securities;
      if (!securities) securities = Value::array();
      continue;
    }
    if (line == "!Type:Prices") {
      // Exporters write one block per price; one explanation is enough.
      if (!pricesExplained) {
        platform_.runAlert({std::string(kTitle), formatMessage(kPricesMessage, {source}), {"OK"}});
        pricesExplained = true;
      }
      section = Section::none;
      continue;
    }
    if (!accountListMode && line == "!Account") break;
    // A register right after a list would otherwise be passed over and its transactions lost.
    if (!accountListMode && section != Section::none && isRegisterHeader(line)) break;
    if (line.starts_with("!Type:")) {
      section = Section::none;
      continue;
    }
    if (line.empty() || section == Section::none) continue;

    const char code = line[0];
    const std::string rest(line.substr(1));
    if (section == Section::categories) {
      if (code == 'N') categories->append(Value(rest));
      continue;
    }
    const char second = section == Section::accounts ? 'T' : 'S';
    if (code == 'N') {
      if (pending) return kMalformed;
      pending = rest;
    } else if (code == second) {
      if (!pending) return kMalformed;
      if (section == Section::accounts) {
        accounts->append(Value{{std::string(accountKey::Name), *pending},
                               {std::string(accountKey::Type), rest}});
      } else {
        securities->append(Value{{std::string(securityKey::Name), *pending},
                                 {std::string(securityKey::Symbol), rest}});
      }
      pending.reset();
    }
  }
  *indexPtr = index;
  if (pending) return kMalformed;

  int result = section != Section::none ? kEndedInsideList : 0;
  auto offer = [&](const std::optional<Value>& list, std::string_view question,
                   std::string_view key, int bit) {
    if (!list) return;
    Alert alert{std::string(kTitle), formatMessage(question, {source}), {"YES", "NO"}};
    if (platform_.runAlert(alert) != 0) return;
    prefs_.setObject(key, *list);
    result += bit;
  };
  offer(accounts, kAccountsQuestion, prefKey::Accounts, kAccountsReplaced);
  offer(categories, kCategoriesQuestion, prefKey::Categories, kCategoriesReplaced);
  offer(securities, kSecuritiesQuestion, prefKey::Securities, kSecuritiesReplaced);
  prefs_.synchronize();
  return result;
}

}  // namespace corvela
