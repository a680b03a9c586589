#pragma once

#include <string_view>

#include "prefs/Status.h"
#include "prefs/Value.h"

namespace corvela {

// Reads the XML form of a property list (<plist><dict><key>..</key><string>..</string>...).
class XmlPlist {
 public:
  // Containers nested deeper than this are refused, so hostile input cannot exhaust the stack.
  static constexpr int kMaxDepth = 200;

  // The root value of `xml`. The root may be wrapped in <plist> (the usual form) or stand alone.
  // Understood: <dict> with <key>, <array>, <string>, <integer> (decimal or 0x hexadecimal),
  // <real>, <true/>, <false/>, <date> (ISO 8601 in UTC, 2024-01-31T12:00:00Z; becomes a
  // Value::Date), <data> (base64, blanks ignored), the empty forms (<string/>, <array/>, ...),
  // the five predefined entities and numeric character references, CDATA sections, comments,
  // processing instructions, the XML declaration and a DOCTYPE. A UTF-8 byte order mark is
  // skipped. Line ends inside text are normalised to a line feed, as XML requires.
  //
  // Failure: a Status whose message reads "Property list, line N: <what is wrong>", e.g.
  // "Property list, line 4: <dict> has a <string> where a <key> was expected". Duplicate keys in
  // one dictionary and text outside any element are errors. Never reads past `xml`.
  static Result<Value> parse(std::string_view xml);
};

}  // namespace corvela
