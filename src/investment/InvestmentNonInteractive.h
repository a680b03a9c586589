#pragma once

#include <functional>
#include <string>

namespace corvela {

class InvestmentQIF;

// What the command line did with the questions of an investment run.
struct InvestmentNonInteractiveTally {
  int typesDefined = 0;       // a type word mapped to the type its OFX aggregate stands for
  int securitiesDefined = 0;  // a security defined as the statement names it
  int leftOut = 0;            // transactions that could not be output unattended
};

// Answers every view the run of `processor` stops in, the way the command line does, until the
// run ends: the confirmation is accepted; a type definition with a proposed type (a standard
// OFX type) takes the proposal; a security definition takes the proposed name; anything else
// (a type with no proposal, a missing or bad field, no amount or shares) leaves the transaction
// out. Each choice and each transaction left out is reported through `report` (one line, with
// the transaction's date, type text and security). Returns at once when no run waits.
InvestmentNonInteractiveTally answerInvestmentWithoutDialogs(
    InvestmentQIF& processor, const std::function<void(const std::string&)>& report);

}  // namespace corvela
