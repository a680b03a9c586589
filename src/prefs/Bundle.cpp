#include "prefs/Bundle.h"

namespace corvela {

extern const std::string_view kBundlePlist;

const Bundle& Bundle::builtIn() {
  static const Bundle bundle = [] {
    Result<Bundle> read = fromXML(kBundlePlist);
    return read.ok() ? read.value() : Bundle(Value::dictionary());
  }();
  return bundle;
}

Result<Bundle> Bundle::fromXML(std::string_view) {
  // TODO(xml plist): parse.
  return Bundle(Value::dictionary());
}

}  // namespace corvela
