// corvela: the desktop program.
#include <QApplication>

#include "prefs/CVPrefs.h"
#include "ui/DesktopApp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Corvela"));
  QApplication::setApplicationVersion(QStringLiteral(CORVELA_VERSION));
  QApplication::setOrganizationDomain(QStringLiteral("corvela.org"));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.corvela.Corvela"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.corvela.Corvela")));

  corvela::ui::DesktopApp desktop(corvela::CVPrefs::defaultPath());
  desktop.start();
  return QApplication::exec();
}
