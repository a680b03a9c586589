#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/Platform.h"

class QCheckBox;

namespace corvela::ui {

// The extension a file panel compares with its accepted types: the text after the name's last
// dot, or "" for a name without one.
QString fileTypeOf(const QString& fileName);
// Whether a panel that accepts `fileTypes` (compared exactly; "" for no extension) shows the
// file `fileName`. An empty list accepts every file.
bool acceptsFileType(const QStringList& fileTypes, const QString& fileName);

// The open panel: one existing file, from the folder and of the types asked for, with the
// append switch below the file list when asked for.
class OpenFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit OpenFileDialog(const OpenPanel& panel, QWidget* parent = nullptr);

  // The chosen file and the append switch's state; call after the dialog was accepted.
  OpenPanelChoice choice() const;
  // The append switch, or null when the panel has none.
  QCheckBox* appendSwitch() const { return appendSwitch_; }

 private:
  QCheckBox* appendSwitch_ = nullptr;
};

// The save panel: a file name in the folder asked for, proposed as asked, that always ends
// in the required extension (it is added to a name that lacks it). Replacing an existing file
// is confirmed before the panel accepts.
class SaveFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit SaveFileDialog(const SavePanel& panel, QWidget* parent = nullptr);

  // The chosen path; call after the dialog was accepted.
  std::string chosenPath() const;

  void accept() override;

 private:
  QString requiredFileType_;
};

}  // namespace corvela::ui
