#include "ui/FormatRenameWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace corvela::ui {

FormatRenameWindow::FormatRenameWindow(FormatRename& presenter, QWidget* parent)
    : QDialog(parent),
      presenter_(presenter),
      name_(new QLineEdit),
      duplicate_(new QLabel(tr("An input format of this name exists already; importing "
                               "replaces it."))),
      ok_(new QPushButton(tr("OK"))) {
  setWindowTitle(tr("Import Input Format"));
  setModal(true);
  name_->setObjectName(QStringLiteral("formatNameField"));
  duplicate_->setObjectName(QStringLiteral("duplicateMsg"));
  duplicate_->setWordWrap(true);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"));

  name_->setText(qs(presenter_.form().name));
  connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
    presenter_.controlTextDidChange(text.toStdString());
    draw();
  });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel);
  buttons->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Name of the imported input format:")));
  layout->addWidget(name_);
  layout->addWidget(duplicate_);
  layout->addLayout(buttons);
  draw();
}

void FormatRenameWindow::draw() {
  const FormatRenameForm& form = presenter_.form();
  ok_->setEnabled(form.okEnabled);
  duplicate_->setVisible(form.duplicateMsgVisible);
}

bool FormatRenameWindows::runRenameWindow(FormatRename& presenter) {
  FormatRenameWindow window(presenter, parent_);
  return window.exec() == QDialog::Accepted;
}

}  // namespace corvela::ui
