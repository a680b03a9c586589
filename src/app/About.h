#pragma once

#include <string>
#include <vector>

namespace corvela {

// A library the program is built with, as the About window credits it.
struct LibraryNotice {
  std::string name;
  std::string version;  // "" when the build does not know it
  std::string licence;
  std::string use;  // what Corvela uses it for
};

// What Help > About Corvela shows. The window adds the libraries of the desktop itself (Qt).
struct AboutForm {
  std::string title = "About Corvela";
  std::string name = "Corvela";
  std::string version;  // "11.8"
  std::string summary;
  std::vector<LibraryNotice> libraries;
};

// The form with the libraries of the core, in the order they are credited.
AboutForm aboutCorvela();

}  // namespace corvela
