#pragma once

#include "investment/InvestmentForms.h"

namespace corvela {

// The views of the investment confirmation window, one small interface each, so that a front
// end can draw them as it likes and tests can script them. A view shows the form it is given
// and calls the presenter's actions for its buttons; it never decides anything itself. Showing
// one view replaces the one shown before (the edit sheet lies over the others).

class InvestmentTransactionView {
 public:
  virtual ~InvestmentTransactionView() = default;
  virtual void showTransaction(const InvestmentTransactionForm& form) = 0;
};

class TypeDefinitionView {
 public:
  virtual ~TypeDefinitionView() = default;
  virtual void showTypeDefinition(const TypeDefinitionForm& form) = 0;
};

class SecurityDefinitionView {
 public:
  virtual ~SecurityDefinitionView() = default;
  virtual void showSecurityDefinition(const SecurityDefinitionForm& form) = 0;
};

class MissingFieldView {
 public:
  virtual ~MissingFieldView() = default;
  virtual void showMissingField(const MissingFieldForm& form) = 0;
};

class NoAmountOrSharesView {
 public:
  virtual ~NoAmountOrSharesView() = default;
  virtual void showNoAmountOrShares(const NoAmountOrSharesForm& form) = 0;
};

class AlwaysSkipView {
 public:
  virtual ~AlwaysSkipView() = default;
  virtual void showAlwaysSkip(const AlwaysSkipForm& form) = 0;
};

class EditSheetView {
 public:
  virtual ~EditSheetView() = default;
  virtual void showEditSheet(const EditSheetForm& form) = 0;
  virtual void closeEditSheet() = 0;
};

// The whole window: every view, and closing it when the walk ends or hands over to another
// dialog.
class InvestmentConfirmView : public InvestmentTransactionView,
                              public TypeDefinitionView,
                              public SecurityDefinitionView,
                              public MissingFieldView,
                              public NoAmountOrSharesView,
                              public AlwaysSkipView,
                              public EditSheetView {
 public:
  virtual void close() = 0;
};

// A window that shows nothing: for a front end whose runs are answered without the person (the
// command line answers the view the run waits in once the processor has returned), and as the
// stand-in where no window exists.
class SilentInvestmentWindow : public InvestmentConfirmView {
 public:
  void showTransaction(const InvestmentTransactionForm&) override {}
  void showTypeDefinition(const TypeDefinitionForm&) override {}
  void showSecurityDefinition(const SecurityDefinitionForm&) override {}
  void showMissingField(const MissingFieldForm&) override {}
  void showNoAmountOrShares(const NoAmountOrSharesForm&) override {}
  void showAlwaysSkip(const AlwaysSkipForm&) override {}
  void showEditSheet(const EditSheetForm&) override {}
  void closeEditSheet() override {}
  void close() override {}
};

}  // namespace corvela
