#include "ui/FilePanels.h"

#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>

#include "ui/QtText.h"

namespace corvela::ui {
namespace {

// Hides the files whose extension the panel does not accept; folders stay, so the person can
// move around.
class FileTypeFilter : public QSortFilterProxyModel {
 public:
  FileTypeFilter(QStringList fileTypes, QObject* parent)
      : QSortFilterProxyModel(parent), fileTypes_(std::move(fileTypes)) {}

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (!files) return true;
    QModelIndex index = files->index(row, 0, parent);
    return files->isDir(index) || acceptsFileType(fileTypes_, files->fileName(index));
  }

 private:
  QStringList fileTypes_;
};

void startIn(QFileDialog& dialog, const std::string& directory) {
  if (!directory.empty() && QDir(qs(directory)).exists()) dialog.setDirectory(qs(directory));
}

void attachAsSheetOr(QFileDialog& dialog, bool asSheet) {
  dialog.setWindowModality(asSheet && dialog.parentWidget() ? Qt::WindowModal
                                                            : Qt::ApplicationModal);
}

}  // namespace

QString fileTypeOf(const QString& fileName) {
  qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : fileName.mid(dot + 1);
}

bool acceptsFileType(const QStringList& fileTypes, const QString& fileName) {
  return fileTypes.isEmpty() || fileTypes.contains(fileTypeOf(fileName), Qt::CaseSensitive);
}

OpenFileDialog::OpenFileDialog(const OpenPanel& panel, QWidget* parent) : QFileDialog(parent) {
  // Qt's own dialog: the platform's may not filter files without an extension or take an
  // accessory switch.
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptOpen);
  setFileMode(QFileDialog::ExistingFile);
  attachAsSheetOr(*this, panel.asSheet);
  startIn(*this, panel.directory);
  if (!panel.fileTypes.empty()) {
    QStringList types;
    for (const std::string& type : panel.fileTypes) types << qs(type);
    setProxyModel(new FileTypeFilter(types, this));
  }
  if (!panel.typeGroups.empty()) {
    // The proxy keeps to the accepted types; a group narrows them further by pattern.
    QStringList filters{tr("All files Corvela opens (*)")};
    for (const auto& [name, types] : panel.typeGroups) {
      QStringList patterns;
      for (const std::string& type : types)
        if (!type.empty()) patterns << QStringLiteral("*.") + qs(type);
      filters << qs(name) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')');
    }
    setNameFilters(filters);
  }
  if (!panel.prompt.empty()) setLabelText(QFileDialog::Accept, qs(panel.prompt));
  if (panel.appendSwitch) {
    appendSwitch_ = new QCheckBox(tr("Append to the chosen file"));
    appendSwitch_->setChecked(*panel.appendSwitch);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
      grid->addWidget(appendSwitch_, grid->rowCount(), 0, 1, -1);
  }
}

OpenPanelChoice OpenFileDialog::choice() const {
  OpenPanelChoice choice;
  choice.path = utf8(selectedFiles().value(0));
  choice.append = appendSwitch_ && appendSwitch_->isChecked();
  return choice;
}

SaveFileDialog::SaveFileDialog(const SavePanel& panel, QWidget* parent)
    : QFileDialog(parent), requiredFileType_(qs(panel.requiredFileType)) {
  setOption(QFileDialog::DontUseNativeDialog);
  setAcceptMode(QFileDialog::AcceptSave);
  setFileMode(QFileDialog::AnyFile);
  attachAsSheetOr(*this, panel.asSheet);
  startIn(*this, panel.directory);
  if (!requiredFileType_.isEmpty()) setDefaultSuffix(requiredFileType_);
  if (!panel.suggestedName.empty()) selectFile(qs(panel.suggestedName));
  if (!panel.message.empty()) {
    auto* message = new QLabel(qs(panel.message));
    message->setObjectName(QStringLiteral("savePanelMessage"));
    message->setWordWrap(true);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
      grid->addWidget(message, grid->rowCount(), 0, 1, -1);
  }
}

std::string SaveFileDialog::chosenPath() const { return utf8(selectedFiles().value(0)); }

void SaveFileDialog::accept() {
  // A name typed with another extension keeps it and gets the required one after it, so the
  // output never lands in a file the finance software would not take for its kind.
  QString path = selectedFiles().value(0);
  if (!requiredFileType_.isEmpty() && !path.isEmpty() &&
      fileTypeOf(QFileInfo(path).fileName()) != requiredFileType_ &&
      !fileTypeOf(QFileInfo(path).fileName()).isEmpty()) {
    const QString suffix = QLatin1Char('.') + requiredFileType_;
    // selectFile leaves the name field alone while it has the focus, which it has whenever a
    // person typed the name and pressed Return; the typed text ends in the file's name, so the
    // extension goes after it there.
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name && !name->text().isEmpty())
      name->setText(name->text() + suffix);
    else
      selectFile(path + suffix);
  }
  QFileDialog::accept();
}

}  // namespace corvela::ui
