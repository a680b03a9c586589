#pragma once

#include <string>
#include <vector>

#include "investment/InvestmentViews.h"

namespace corvela::testing {

// An investment confirmation window that records, in order, which view it was asked to show
// ("transaction", "type", "security", "missing", "noAmount", "alwaysSkip", "edit") and keeps
// the last form of each.
class ScriptedInvestmentWindow : public InvestmentConfirmView {
 public:
  void showTransaction(const InvestmentTransactionForm& form) override {
    shown.push_back("transaction");
    transaction = form;
  }
  void showTypeDefinition(const TypeDefinitionForm& form) override {
    shown.push_back("type");
    type = form;
  }
  void showSecurityDefinition(const SecurityDefinitionForm& form) override {
    shown.push_back("security");
    security = form;
  }
  void showMissingField(const MissingFieldForm& form) override {
    shown.push_back("missing");
    missing = form;
  }
  void showNoAmountOrShares(const NoAmountOrSharesForm&) override { shown.push_back("noAmount"); }
  void showAlwaysSkip(const AlwaysSkipForm&) override { shown.push_back("alwaysSkip"); }
  void showEditSheet(const EditSheetForm& form) override {
    shown.push_back("edit");
    edit = form;
  }
  void closeEditSheet() override {}
  void close() override { ++closed; }

  std::vector<std::string> shown;
  InvestmentTransactionForm transaction;
  TypeDefinitionForm type;
  SecurityDefinitionForm security;
  MissingFieldForm missing;
  EditSheetForm edit;
  int closed = 0;
};

}  // namespace corvela::testing
