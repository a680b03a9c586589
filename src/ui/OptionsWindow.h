#pragma once

#include <QDialog>
#include <memory>
#include <utility>
#include <vector>

#include "app/OptionsDialog.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace corvela::ui {

// The options window ("Corvela Preferences"): a window of its own with a page per subject. It
// draws the OptionsForm it is given and hands every action to the OptionsDialog presenter;
// each control is named after its role (objectName), so tests and the layout can find it.
class OptionsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit OptionsWindow(QWidget* parent = nullptr);
  ~OptionsWindow() override;

  // The view the presenter draws on.
  OptionsDialogView& view();
  // The presenter the controls' actions go to. Borrowed; must outlive the window or be reset.
  void setPresenter(OptionsDialog* presenter) { presenter_ = presenter; }

  QTabWidget* pages() const { return pages_; }

  // Escape, the Cancel button and closing the window all cancel.
  void reject() override;

 signals:
  // The Help button: the page about the options.
  void helpRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class View;
  friend class View;

  QCheckBox* addCheckbox(OptionSwitch OptionsForm::*field, const char* name, const QString& label);
  QComboBox* addPopUp(int OptionsForm::*field, const char* name, const QStringList& items);
  QWidget* inputPage();
  QWidget* categoriesPage();
  QWidget* outputPage();
  QWidget* datesPage();
  QWidget* investmentsPage();
  QWidget* generalPage();

  void showForm(const OptionsForm& form);
  OptionsForm readForm() const;

  std::unique_ptr<View> view_;
  OptionsDialog* presenter_ = nullptr;
  QTabWidget* pages_;
  std::vector<std::pair<OptionSwitch OptionsForm::*, QCheckBox*>> checkboxes_;
  std::vector<std::pair<int OptionsForm::*, QComboBox*>> popUps_;
  QButtonGroup* categoryRadioButtons_;
  QButtonGroup* cancelRadioButtons_;
  QLabel* showAllAccountNamesHelp_;
  QLineEdit* descriptionOutput_;
  QLineEdit* memoOutput_;
};

}  // namespace corvela::ui
