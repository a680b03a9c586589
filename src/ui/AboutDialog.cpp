#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include "ui/QtText.h"

namespace corvela::ui {

AboutDialog::AboutDialog(const AboutForm& form, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutWindow"));
  setWindowTitle(qs(form.title));

  auto* name = new QLabel(qs(form.name + " " + form.version));
  name->setObjectName(QStringLiteral("aboutName"));
  QFont large = name->font();
  large.setPointSizeF(large.pointSizeF() * 1.4);
  large.setBold(true);
  name->setFont(large);

  auto* summary = new QLabel(qs(form.summary));
  summary->setWordWrap(true);

  std::vector<LibraryNotice> libraries = form.libraries;
  libraries.insert(libraries.begin(), {"Qt", qVersion(), "GNU LGPL 3", "the windows"});
  QString credits = tr("Built with:");
  for (const LibraryNotice& library : libraries) {
    credits +=
        QStringLiteral("\n• %1%2 (%3): %4")
            .arg(qs(library.name),
                 library.version.empty() ? QString() : QStringLiteral(" ") + qs(library.version),
                 qs(library.licence), qs(library.use));
  }
  auto* libraryList = new QLabel(credits);
  libraryList->setObjectName(QStringLiteral("aboutLibraries"));
  libraryList->setTextFormat(Qt::PlainText);
  libraryList->setWordWrap(true);
  libraryList->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("aboutClose"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name);
  layout->addWidget(summary);
  layout->addSpacing(8);
  layout->addWidget(libraryList);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

}  // namespace corvela::ui
