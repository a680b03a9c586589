#pragma once

#include <QLineEdit>
#include <string>
#include <string_view>

namespace corvela::ui {

// `amount` as a number format pattern shows it ("#,###.00;0.00;-#,##0.00": positive, zero and
// negative sections; "#" an optional digit, "0" a required one, "," grouping by thousands),
// with `decimalSeparator` ("." or ","; the other one groups). An amount written with a decimal
// comma is read as such when the separator is ",". An empty pattern, or a text that is not an
// amount, comes back as it is.
std::string formattedAmount(std::string_view amount, std::string_view pattern,
                            std::string_view decimalSeparator);

// An amount field that shows its amount through a number format while it is not being edited,
// and the amount as the processor keeps it while the person edits it, so what is typed is
// what is output.
class FormattedAmountEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit FormattedAmountEdit(QWidget* parent = nullptr);

  // The amount (as kept by the processor) and the format to show it with.
  void setAmount(const std::string& amount, const std::string& pattern,
                 const std::string& decimalSeparator);
  const std::string& amount() const { return amount_; }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void showAmount();

  std::string amount_;
  std::string pattern_;
  std::string decimalSeparator_ = ".";
};

}  // namespace corvela::ui
