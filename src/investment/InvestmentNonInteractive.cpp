#include "investment/InvestmentNonInteractive.h"

#include "investment/InvestmentKeys.h"
#include "investment/InvestmentQIF.h"

namespace corvela {

namespace {

// "transaction N, date, type \"word\", security \"name\"" of the transaction being handled
// (N counted from 1 in the statement's order).
std::string describe(const InvestmentQIF& processor) {
  Value record = processor.currentRecord();
  std::string text = "transaction " + std::to_string(processor.currentIndex() + 1) + ", ";
  text += record.contains(investmentKey::Date) ? str(record, investmentKey::Date) : "no date";
  text += ", type \"" + str(record, investmentKey::Type) + "\"";
  const std::string& security = str(record, investmentKey::Security);
  if (!security.empty()) text += ", security \"" + security + "\"";
  return text;
}

}  // namespace

InvestmentNonInteractiveTally answerInvestmentWithoutDialogs(
    InvestmentQIF& processor, const std::function<void(const std::string&)>& report) {
  using State = InvestmentQIF::State;
  InvestmentNonInteractiveTally tally;
  while (processor.state() != State::none) {
    const State before = processor.state();
    const long index = processor.currentIndex();
    switch (before) {
      case State::confirm:
        processor.ok();
        break;
      case State::defineType: {
        const TypeDefinitionForm& form = processor.typeForm();
        if (form.proposedChoice > 0) {
          report("Type \"" + form.typeWord + "\" defined as " +
                 form.choices[static_cast<std::size_t>(form.proposedChoice)] + " (" +
                 describe(processor) + ").");
          ++tally.typesDefined;
          processor.ok();
        } else {
          report("Left out: " + describe(processor) + ": " +
                 (form.proposalRefused.empty() ? "the type has no mapping" : form.proposalRefused) +
                 ".");
          ++tally.leftOut;
          processor.skipTransaction();
        }
        break;
      }
      case State::defineSecurity: {
        const SecurityDefinitionForm& form = processor.securityForm();
        report("Security \"" + form.security + "\" defined as \"" + form.quickenSecurity + "\".");
        ++tally.securitiesDefined;
        processor.ok();
        break;
      }
      case State::missingField:
        report("Left out: " + describe(processor) + ": " + processor.missingFieldForm().title +
               ".");
        ++tally.leftOut;
        processor.skipTransaction();
        break;
      case State::noAmountOrShares:
        report("Left out: " + describe(processor) + ": " + processor.noAmountOrSharesForm().title +
               ".");
        ++tally.leftOut;
        processor.skipTransaction();
        break;
      default:
        ++tally.leftOut;
        processor.skipTransaction();
        break;
    }
    // An answer that changed nothing would ask the same question forever.
    if (processor.state() == before && processor.currentIndex() == index && before != State::none) {
      ++tally.leftOut;
      processor.skipTransaction();
    }
  }
  return tally;
}

}  // namespace corvela
