#pragma once

#include <QDialog>

#include "app/About.h"

namespace corvela::ui {

// Help > About Corvela: the program's name and version, what it does, and the libraries it is
// built with and their licences (the core's, from the form, and Qt's own).
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(const AboutForm& form, QWidget* parent = nullptr);
};

}  // namespace corvela::ui
