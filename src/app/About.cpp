#include "app/About.h"

#include <unicode/uvernum.h>

#include <nlohmann/json.hpp>

namespace corvela {

AboutForm aboutCorvela() {
  AboutForm form;
  form.version = CORVELA_VERSION;
  form.summary =
      "Turns the statements you download from your bank, card issuer or broker into QIF for your "
      "finance software, with the descriptions, memos and categories your instructions give "
      "them.";
  const std::string json = std::to_string(NLOHMANN_JSON_VERSION_MAJOR) + "." +
                           std::to_string(NLOHMANN_JSON_VERSION_MINOR) + "." +
                           std::to_string(NLOHMANN_JSON_VERSION_PATCH);
  form.libraries = {
      {"ICU", U_ICU_VERSION, "Unicode License", "case folding and capitalisation of text"},
      {"libplist", CORVELA_PLIST_VERSION, "GNU LGPL 2.1 or later",
       "the preference store's property lists"},
      {"JSON for Modern C++", json, "MIT License", "importing preferences from JSON"},
  };
  return form;
}

}  // namespace corvela
