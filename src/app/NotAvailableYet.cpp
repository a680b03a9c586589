#include "app/NotAvailableYet.h"

namespace corvela {
namespace {

Status notAvailable(std::string_view what) {
  return Status::Error(std::string(what) + " is not available yet in this version of Corvela.");
}

}  // namespace

Status BankRunNotAvailable::available() const {
  return notAvailable("Processing bank and credit-card transactions");
}
void BankRunNotAvailable::setTransactions(RecordList, bool) {}
void BankRunNotAvailable::setFeed(RunFeed) {}
void BankRunNotAvailable::processInstructionsAndAppendToString(std::string&, const RunSettings&,
                                                               RunEnd end) {
  if (end) end(0, std::nullopt);
}
void BankRunNotAvailable::continueWith(const Value&, std::string&, const RunSettings&, RunEnd end) {
  if (end) end(0, std::nullopt);
}

Status InvestmentRunNotAvailable::available() const {
  return notAvailable("Processing investment transactions");
}
bool InvestmentRunNotAvailable::fromFormattedText(const std::string&, const Value&, CalendarDay,
                                                  CalendarDay) {
  return false;
}
void InvestmentRunNotAvailable::processInstructionsAndAppendToString(std::string&,
                                                                     const RunSettings&,
                                                                     RunEnd end) {
  if (end) end(0, std::nullopt);
}
void InvestmentRunNotAvailable::continueWith(const Value&, std::string&, const RunSettings&,
                                             RunEnd end) {
  if (end) end(0, std::nullopt);
}

Status TextReadingNotAvailable::available() const {
  return notAvailable("Reading text statements with an input format");
}
std::unique_ptr<RecordWindows> TextReadingNotAvailable::fromFormattedText(const std::string&,
                                                                          const Value&, CalendarDay,
                                                                          CalendarDay) {
  return nullptr;
}

Status InputFormatToolsNotAvailable::available() const {
  return notAvailable("Importing, learning and changing input formats");
}
void InputFormatToolsNotAvailable::importFile(const std::string&) {}
void InputFormatToolsNotAvailable::learnFromString(const std::string&, const std::string&,
                                                   const std::string&) {}
void InputFormatToolsNotAvailable::addFormat(const Value&) {}

}  // namespace corvela
