#include "prefs/Bundle.h"

#include "prefs/XmlPlist.h"

namespace corvela {

extern const std::string_view kBundlePlist;

const Bundle& Bundle::builtIn() {
  // The built-in text is checked by the test suite, so the empty fallback is never reached in a
  // released program; it only keeps a broken build from crashing.
  static const Bundle bundle = [] {
    Result<Bundle> read = fromXML(kBundlePlist);
    return read.ok() ? read.value() : Bundle(Value::dictionary());
  }();
  return bundle;
}

Result<Bundle> Bundle::fromXML(std::string_view xml) {
  Result<Value> root = XmlPlist::parse(xml);
  if (!root.ok()) return root.status();
  if (!root.value().isDictionary()) {
    return Status::Error("The bundle tables must be a property list whose root is a <dict>.");
  }
  return Bundle(std::move(root).value());
}

}  // namespace corvela
