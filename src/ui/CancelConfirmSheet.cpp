#include "ui/CancelConfirmSheet.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace corvela::ui {
namespace {

constexpr int kStop = 0;
constexpr int kFinishLater = 1;
constexpr int kFinishNow = 2;

}  // namespace

CancelConfirmSheet::CancelConfirmSheet(QWidget* parent)
    : QDialog(parent),
      stop_(new QPushButton(tr("Stop"))),
      finishLater_(new QPushButton(tr("Finish Later"))),
      finishNow_(new QPushButton(tr("Finish Now"))),
      askEveryTime_(new QRadioButton(tr("Ask every time"))),
      alwaysStop_(new QRadioButton(tr("Always stop"))),
      alwaysFinishLater_(new QRadioButton(tr("Always finish later"))) {
  setWindowTitle(tr("Cancel Processing"));
  setWindowModality(Qt::WindowModal);

  auto* question = new QLabel(
      tr("Stop now and output nothing, save the transactions in a continuation file to finish "
         "later, or go on and finish now?"));
  question->setWordWrap(true);

  auto* remember = new QButtonGroup(this);
  remember->addButton(askEveryTime_);
  remember->addButton(alwaysStop_);
  remember->addButton(alwaysFinishLater_);
  askEveryTime_->setChecked(true);
  auto* rememberNote = new QLabel(tr("A choice that sticks can be changed in the Preferences."));
  rememberNote->setEnabled(false);

  finishNow_->setDefault(true);
  connect(stop_, &QPushButton::clicked, this, [this] { answer(kStop); });
  connect(finishLater_, &QPushButton::clicked, this, [this] { answer(kFinishLater); });
  connect(finishNow_, &QPushButton::clicked, this, [this] { answer(kFinishNow); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(stop_);
  buttons->addStretch();
  buttons->addWidget(finishLater_);
  buttons->addWidget(finishNow_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question);
  layout->addSpacing(8);
  layout->addWidget(askEveryTime_);
  layout->addWidget(alwaysStop_);
  layout->addWidget(alwaysFinishLater_);
  layout->addWidget(rememberNote);
  layout->addSpacing(8);
  layout->addLayout(buttons);
}

void CancelConfirmSheet::answer(int button) {
  reply_.button = button;
  reply_.remember = alwaysStop_->isChecked()          ? CancelRemember::alwaysStop
                    : alwaysFinishLater_->isChecked() ? CancelRemember::alwaysFinishLater
                                                      : CancelRemember::askEveryTime;
  done(QDialog::Accepted);
}

void CancelConfirmSheet::reject() { answer(kFinishNow); }

}  // namespace corvela::ui
