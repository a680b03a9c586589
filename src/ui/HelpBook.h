#pragma once

#include <QString>
#include <QUrl>

namespace corvela::ui {

// The help pages installed with the program (an index.html and pages/*.html), addressed by
// page and anchor. Finding a page reads only the folder; nothing is opened here.
class HelpBook {
 public:
  // The page that opens when no anchor is asked for.
  static constexpr const char* kIndexPage = "index.html";

  // A book in `folder`, which holds index.html.
  explicit HelpBook(QString folder) : folder_(std::move(folder)) {}

  // The installed book: beside the program (<prefix>/share/corvela/help when the program is
  // <prefix>/bin/corvela), else the source tree's resources/help for a program run from its
  // build folder. Empty when neither holds an index.
  static QString findFolder();

  const QString& folder() const { return folder_; }

  // The file URL of `page` (relative to the folder) at `anchor` (none when empty).
  QUrl url(const QString& page, const QString& anchor = {}) const;
  // The page that defines `anchor` (an id or name attribute) at that anchor, looking in
  // pages/ first (in name order), then the index; the index alone when no page defines it or
  // `anchor` is empty.
  QUrl urlForAnchor(const QString& anchor) const;

 private:
  QString folder_;
};

}  // namespace corvela::ui
