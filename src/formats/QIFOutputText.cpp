#include "formats/QIFOutputText.h"

namespace corvela {

std::string qifTypeHeader(int kind) {
  switch (kind) {
    case 0:
      return "!Type:Bank\n";
    case 1:
      return "!Type:CCard\n";
    case 2:
      return "!Type:Invst\n";
    default:
      return "";
  }
}

std::string qifAccountHeader(std::string_view accountName, std::string_view accountType) {
  std::string name(accountName);
  if (accountType == "Port") return "!Account\nN" + name + "\nTPort\n^\n!Type:Invst\n";
  std::string type(accountType);
  return "!Account\nN" + name + "\nT" + type + "\n^\n!Type:" + type + "\n";
}

namespace {

// The type table marks what a type needs by the presence of a flag key.
bool typeFlag(const Value& typeEntry, std::string_view key) {
  const Value* flag = typeEntry.find(key);
  return flag && !(flag->isBool() && !flag->toBool());
}

// A price of 0 (0, 0.0000, 0,00) is no price.
bool isZero(std::string_view number) {
  return number.find_first_of("123456789") == std::string_view::npos;
}

std::string withoutSign(std::string amount) {
  while (!amount.empty() && (amount.front() == '-' || amount.front() == '(')) amount.erase(0, 1);
  if (!amount.empty() && amount.back() == ')') amount.pop_back();
  return amount;
}

}  // namespace

std::string qifInvestmentActionRecord(const InvestmentQIFFields& fields, const Value& typeEntry,
                                      bool markCleared) {
  std::string record = "D" + fields.date + "\nN" + fields.actionName + "\nM" + fields.memo + "\n";
  if (typeFlag(typeEntry, "SecurityRequired")) record += "Y" + fields.security + "\n";
  if (typeFlag(typeEntry, "SharesRequired")) {
    record += "Q" + fields.shares + "\n";
    if ((typeFlag(typeEntry, "PriceAllowed") || typeFlag(typeEntry, "PriceRequired")) &&
        !isZero(fields.price)) {
      record += "I" + fields.price + "\n";
    }
    if (!fields.fees.empty()) {
      std::string fees = fields.fees;
      if (std::size_t minus = fees.find('-'); minus != std::string::npos) fees.erase(minus, 1);
      record += "O" + fees + "\n";
    }
  }
  if (typeFlag(typeEntry, "AmountRequired")) record += "T" + withoutSign(fields.amount) + "\n";
  if (markCleared) record += "C*\n";
  record += "^\n";
  return record;
}

std::string qifInvestmentCashRecord(const InvestmentQIFFields& fields, bool markCleared) {
  std::string record = "!InvstBnk\nN" + fields.actionName + "\nD" + fields.date + "\nP" +
                       fields.description + "\nM" + fields.memo + "\nT" + fields.amount + "\n";
  if (fields.splits.isArray() && fields.splits.size() > 0) {
    for (const Value& split : fields.splits.toArray())
      record += "S" + str(split, "category") + "\nE" + str(split, "memo") + "\n$" +
                str(split, "amount") + "\n";
  } else {
    record += "L" + fields.category + "\n";
  }
  if (fields.number) record += "N" + *fields.number + "\n";
  if (markCleared) record += "C*\n";
  record += "^\n!Type:Invst\n";
  return record;
}

}  // namespace corvela
