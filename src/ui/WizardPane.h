#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "inputformats/WizardView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace corvela {
class InputFormatWizard;
}

namespace corvela::ui {

class WizardTableModel;

// The learning wizard's three pages, drawn from its form inside the main window: the date and
// match text views, the separator choice with its live preview, and the question page where a
// click on a column answers. Every edit and button goes straight to the wizard.
class WizardPane : public QWidget, public WizardView {
  Q_OBJECT

 public:
  explicit WizardPane(QWidget* parent = nullptr);
  ~WizardPane() override;

  // The wizard the person's actions go to. Borrowed; nullptr detaches.
  void attach(InputFormatWizard* wizard) { wizard_ = wizard; }

  using QWidget::show;
  void show(const WizardForm& form) override;

  QPlainTextEdit* dateView() const { return dateView_; }
  QPlainTextEdit* matchView() const { return matchView_; }
  QComboBox* kindChoice() const { return kind_; }
  QComboBox* separatorChoice() const { return separator_; }
  QCheckBox* oneTransactionPerLineSwitch() const { return oneTransactionPerLine_; }
  QTableView* previewTable() const { return preview_; }
  QTableView* questionTable() const { return questions_; }
  QLabel* promptLabel() const { return prompt_; }
  QPushButton* okButton(int page) const;
  QPushButton* yesButton() const { return yes_; }
  QPushButton* noButton() const { return no_; }
  QComboBox* assumedSecurity() const { return assumedSecurity_; }
  // The page on screen (1 to 3).
  int currentPage() const;

  // Selects bytes [start, start + length) of the text a view shows (for tests and scripts).
  void selectBytes(QPlainTextEdit* view, std::size_t start, std::size_t length);

 signals:
  // A page of the wizard is to be shown, titled `title`; the main window swaps the pane in.
  void shown(const QString& title);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildDatePage();
  QWidget* buildColumnsPage();
  QWidget* buildQuestionPage();
  void setViewText(QPlainTextEdit* view, const std::string& text, std::vector<std::size_t>& bytes);
  void reportSelection(QPlainTextEdit* view);
  void reportSeparators();

  InputFormatWizard* wizard_ = nullptr;
  bool drawing_ = false;
  std::string dateShown_, matchShown_;
  // For each position of a text view, the byte offset in the text it shows (one more at the end).
  std::vector<std::size_t> dateBytes_, matchBytes_;

  QStackedWidget* pages_;
  QLabel* intro_;
  QPlainTextEdit* dateView_;
  QPlainTextEdit* matchView_;
  QComboBox* kind_;
  QCheckBox* europeanDates_;
  QCheckBox* firstLine_;
  QComboBox* separator_;
  QCheckBox* oneTransactionPerLine_;
  QCheckBox* nonUScharacters_;
  QTableView* preview_;
  WizardTableModel* previewModel_;
  QLabel* prompt_;
  QLabel* hint_;  // shown while a preselected column waits for OK
  QTableView* questions_;
  WizardTableModel* questionModel_;
  QLabel* assumedSecurityLabel_;
  QComboBox* assumedSecurity_;
  QPushButton* ok_[3];
  QPushButton* yes_;
  QPushButton* no_;
};

}  // namespace corvela::ui
