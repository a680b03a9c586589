#include "prefs/Bundle.h"

#include <plist/plist.h>

#include <cstdint>
#include <string>

#include "prefs/PlistPtr.h"

namespace corvela {

extern const std::string_view kBundlePlist;

namespace {

// The bundle is our own text, compiled in; it never nests deeper than a few levels. The limit
// only keeps a mistaken edit from recursing without end.
constexpr int kMaxDepth = 32;

Result<Value> toValue(plist_t node, int depth) {
  if (depth > kMaxDepth) return Status::Error("The bundle tables are nested too deeply.");
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return Value(std::string(text, length));
    }
    case PLIST_BOOLEAN: {
      std::uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      std::uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<long long>(static_cast<std::int64_t>(u)));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_DATE: {
      std::int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return Value::date(sec + usec / 1e6);
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      return Value(Value::Bytes(bytes, bytes + length));
    }
    case PLIST_ARRAY: {
      Value::Array items;
      for (std::uint32_t i = 0; i < plist_array_get_size(node); ++i) {
        Result<Value> item = toValue(plist_array_get_item(node, i), depth + 1);
        if (!item.ok()) return item;
        items.push_back(std::move(item).value());
      }
      return Value(std::move(items));
    }
    case PLIST_DICT: {
      Value::Dictionary entries;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!key) break;
        std::string name(key);
        free(key);
        Result<Value> value = toValue(item, depth + 1);
        if (!value.ok()) {
          free(it);
          return value;
        }
        entries[name] = std::move(value).value();
      }
      free(it);
      return Value(std::move(entries));
    }
    default:
      return Status::Error("The bundle tables hold a value of a kind Corvela does not know.");
  }
}

std::vector<std::string> strings(const Value& table, bool keepPlaces) {
  std::vector<std::string> out;
  for (const Value& entry : table.toArray()) {
    if (entry.isString())
      out.push_back(entry.toString());
    else if (keepPlaces)
      out.emplace_back();
  }
  return out;
}

}  // namespace

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
  // libplist's XML reader is enough here: the text is our own, compiled into the program, so it
  // needs none of the hardening that files from outside get.
  plist_t parsed = nullptr;
  plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &parsed);
  PlistPtr root(parsed);
  if (!root) return Status::Error("The bundle tables are not a readable XML property list.");
  if (plist_get_node_type(root.get()) != PLIST_DICT) {
    return Status::Error("The bundle tables must be a property list whose root is a <dict>.");
  }
  Result<Value> tables = toValue(root.get(), 0);
  if (!tables.ok()) return tables.status();
  return Bundle(std::move(tables).value());
}

DateTables Bundle::dateTables() const {
  DateTables tables;
  tables.shortDateFormats = strings(table("CVShortDateFormats"), false);
  tables.longMonths = strings(table("CVLongMonths"), true);
  tables.afterLongMonth = strings(table("CVAfterLongMonth"), false);

  // The year-less table borrows its months by position, so both are walked together before
  // anything is dropped.
  const Value& withYear = table("CVLongDateFormats");
  const Value& withoutYear = table("CVLongDateNoYearFormats");
  for (std::size_t i = 0; i < withYear.size(); ++i) {
    const Value& entry = withYear[i];
    std::int64_t month = entry["month"].toInt();
    bool monthOK = entry["month"].isNumber() && month >= 1 && month <= 12;
    if (monthOK && entry["format"].isString())
      tables.longDateFormats.push_back({entry["format"].toString(), static_cast<int>(month)});
    if (monthOK && i < withoutYear.size() && withoutYear[i]["format"].isString())
      tables.longDateNoYearFormats.push_back(
          {withoutYear[i]["format"].toString(), static_cast<int>(month)});
  }
  return tables;
}

}  // namespace corvela
