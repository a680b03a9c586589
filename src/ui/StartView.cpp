#include "ui/StartView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>

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
  text->setObjectName(QStringLiteral("welcomeText"));
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignCenter);
  // Its height follows its width (no alignment in the layout, which would give it its
  // one-line height and cut it off); side margins keep the lines short on a wide window.
  text->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
  text_ = text;

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
  layout->addWidget(text);
  layout->addSpacing(18);
  layout->addLayout(buttons);
  layout->addStretch(2);
}

}  // namespace corvela::ui

namespace corvela::ui {

void StartView::resizeEvent(QResizeEvent* event) {
  const int side = std::max(0, (event->size().width() - kTextWidth) / 2);
  text_->setContentsMargins(side, 0, side, 0);
  QWidget::resizeEvent(event);
}

}  // namespace corvela::ui
