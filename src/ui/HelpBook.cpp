#include "ui/HelpBook.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace corvela::ui {
namespace {

bool holdsIndex(const QString& folder) {
  return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(HelpBook::kIndexPage)).isFile();
}

bool definesAnchor(const QString& path, const QString& anchor) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QString html = QString::fromUtf8(file.readAll());
  QRegularExpression attribute(
      QStringLiteral("\\b(id|name)\\s*=\\s*[\"']%1[\"']").arg(QRegularExpression::escape(anchor)));
  return attribute.match(html).hasMatch();
}

}  // namespace

QString HelpBook::findFolder() {
  QString installed = QDir(QCoreApplication::applicationDirPath())
                          .filePath(QStringLiteral("../share/corvela/help"));
  if (holdsIndex(installed)) return QDir::cleanPath(installed);
#ifdef CORVELA_SOURCE_HELP
  if (holdsIndex(QStringLiteral(CORVELA_SOURCE_HELP))) return QStringLiteral(CORVELA_SOURCE_HELP);
#endif
  return {};
}

QUrl HelpBook::url(const QString& page, const QString& anchor) const {
  QUrl url = QUrl::fromLocalFile(QDir(folder_).filePath(page));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  return url;
}

QUrl HelpBook::urlForAnchor(const QString& anchor) const {
  if (anchor.isEmpty()) return url(kIndexPage);
  QStringList pages;
  QDirIterator it(QDir(folder_).filePath(QStringLiteral("pages")), {QStringLiteral("*.html")},
                  QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) pages << it.next();
  pages.sort();
  pages << QDir(folder_).filePath(kIndexPage);
  for (const QString& path : pages)
    if (definesAnchor(path, anchor)) return url(QDir(folder_).relativeFilePath(path), anchor);
  return url(kIndexPage);
}

}  // namespace corvela::ui
