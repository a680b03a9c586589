#include "ui/StartView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvela::ui {
namespace {

// A push button that triggers `action` and is enabled exactly when it is.
QPushButton* buttonFor(QAction* action, const QString& title, const char* role) {
  auto* button = new QPushButton(title);
  button->setObjectName(QLatin1String(role));
  button->setEnabled(action->isEnabled());
  QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
  QObject::connect(action, &QAction::changed, button,
                   [button, action] { button->setEnabled(action->isEnabled()); });
  return button;
}

}  // namespace

StartView::StartView(QAction* processFile, QAction* processClipboard, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QStringLiteral("startView"));
  auto* heading = new QLabel(tr("Convert a statement"));
  QFont large = heading->font();
  large.setPointSizeF(large.pointSizeF() * 1.5);
  large.setBold(true);
  heading->setFont(large);
  heading->setAlignment(Qt::AlignCenter);

  auto* text = new QLabel(
      tr("Open an OFX or QFX download or a QIF register from your bank, card issuer or broker, "
         "or copy a statement and process the clipboard. You can also drop a file on this "
         "window.\n\nCorvela applies the instructions you taught it, asks about the rest, and "
         "writes QIF for your finance software."));
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignCenter);
  text->setMaximumWidth(460);

  auto* open = buttonFor(processFile, tr("Process File..."), "startProcessFile");
  open->setDefault(true);
  auto* clipboard = buttonFor(processClipboard, tr("Process Clipboard"), "startProcessClipboard");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(open);
  buttons->addWidget(clipboard);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addStretch(1);
  layout->addWidget(heading);
  layout->addSpacing(12);
  layout->addWidget(text, 0, Qt::AlignHCenter);
  layout->addSpacing(18);
  layout->addLayout(buttons);
  layout->addStretch(2);
}

}  // namespace corvela::ui
