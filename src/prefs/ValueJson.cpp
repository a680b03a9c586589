// JSON text of a Value, for `prefs show --json` and `prefs import`. The reading and writing of
// JSON itself is nlohmann-json's; what is ours is the mapping of the value kinds JSON lacks (dates
// and data become one-key objects) and the rule that a number without fraction or exponent is an
// integer.
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "prefs/ValueText.h"

namespace corvela {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kDateKey = "$date";
constexpr std::string_view kDataKey = "$data";

Json toJson(const Value& v) {
  switch (v.type()) {
    case Value::Type::Bool:
      return v.toBool();
    case Value::Type::Integer:
      return static_cast<std::int64_t>(v.toInt());
    case Value::Type::Real:
      // JSON has no NaN or infinity; such a real would come back as null.
      return std::isfinite(v.toDouble()) ? v.toDouble() : 0.0;
    case Value::Type::String:
      return v.toString();
    case Value::Type::Date:
      return Json{{kDateKey, isoDate(v.toDate())}};
    case Value::Type::Data:
      return Json{{kDataKey, base64(v.toData())}};
    case Value::Type::Array: {
      Json items = Json::array();
      for (const Value& item : v.toArray()) items.push_back(toJson(item));
      return items;
    }
    case Value::Type::Dictionary: {
      Json entries = Json::object();
      for (const auto& [key, item] : v.toDictionary()) entries[key] = toJson(item);
      return entries;
    }
    default:
      return nullptr;
  }
}

// Builds the Value while nlohmann-json parses, without a DOM in between. The parser itself keeps
// no recursion; the depth limit keeps the Value (and everything that later walks it) shallow.
class ValueBuilder : public nlohmann::json_sax<Json> {
 public:
  static constexpr std::size_t kMaxDepth = 200;

  Result<Value> result(bool parsed) {
    if (!parsed || !error_.empty()) return Status::Error(error_);
    return std::move(root_);
  }

  bool null() override { return add(Value()); }
  bool boolean(bool b) override { return add(Value(b)); }
  bool number_integer(number_integer_t i) override { return add(Value(static_cast<long long>(i))); }
  bool number_unsigned(number_unsigned_t u) override {
    if (u > static_cast<number_unsigned_t>(std::numeric_limits<std::int64_t>::max()))
      return fail("the number is too large");
    return add(Value(static_cast<long long>(u)));
  }
  bool number_float(number_float_t d, const string_t& text) override {
    // nlohmann-json reads an integer too large for 64 bits as a float; we keep integers exact.
    if (text.find_first_of(".eE") == string_t::npos) return fail("the number is too large");
    return add(Value(d));
  }
  bool string(string_t& s) override { return add(Value(std::move(s))); }
  bool binary(binary_t&) override { return fail("binary values are not JSON"); }

  bool start_object(std::size_t) override { return open(Value::dictionary()); }
  bool key(string_t& k) override {
    stack_.back().key = std::move(k);
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(Value::array()); }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception& ex) override {
    // The text after "column N: " is the parser's reason; the place is ours to say, as a line
    // and a column counted from 1 at the character that went wrong.
    std::string what = ex.what();
    std::size_t reason = what.find(": ", what.find("column"));
    where_ = position == 0 ? 0 : position - 1;
    return fail(reason == std::string::npos ? what : what.substr(reason + 2), true);
  }

  void setText(std::string_view text) { text_ = text; }

 private:
  struct Open {
    Value container;
    std::string key;
  };

  bool fail(const std::string& what, bool placed = false) {
    if (!error_.empty()) return false;
    if (!placed) {
      error_ = "at " + path() + ": " + what;
      return false;
    }
    int line = 1, column = 1;
    for (std::size_t i = 0; i < where_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    error_ = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
    return false;
  }

  // Where in the document the builder stands, as a person would name it: Accounts[3].Name.
  std::string path() const {
    std::string out;
    for (const Open& open : stack_) {
      if (open.container.isArray()) {
        out += "[" + std::to_string(open.container.size()) + "]";
      } else if (!open.key.empty()) {
        if (!out.empty()) out += '.';
        out += open.key;
      }
    }
    return out.empty() ? "the top" : out;
  }

  bool open(Value container) {
    if (stack_.size() >= kMaxDepth) return fail("nested too deeply");
    stack_.push_back({std::move(container), {}});
    return true;
  }

  bool close() {
    Open done = std::move(stack_.back());
    stack_.pop_back();
    Value value = std::move(done.container);
    // The two tagged forms that stand for a date and for data.
    if (value.isDictionary() && value.size() == 1) {
      const auto& [key, item] = *value.toDictionary().begin();
      if (key == kDateKey && item.isString()) {
        Value::Date d;
        if (!parseIsoDate(item.toString(), &d))
          return fail("a $date must look like 2024-01-31T12:00:00Z");
        value = Value(d);
      } else if (key == kDataKey && item.isString()) {
        Value::Bytes bytes;
        if (!unbase64(item.toString(), &bytes)) return fail("$data must be base64");
        value = Value(std::move(bytes));
      }
    }
    return add(std::move(value));
  }

  bool add(Value value) {
    if (stack_.empty()) {
      root_ = std::move(value);
    } else if (Open& top = stack_.back(); top.container.isArray()) {
      top.container.append(std::move(value));
    } else {
      top.container.set(top.key, std::move(value));
    }
    return true;
  }

  std::vector<Open> stack_;
  Value root_;
  std::string error_;
  std::string_view text_;
  std::size_t where_ = 0;
};

}  // namespace

std::string toJSON(const Value& value) {
  return toJson(value).dump(4, ' ', false, Json::error_handler_t::replace) + "\n";
}

Result<Value> fromJSON(std::string_view text) {
  ValueBuilder builder;
  builder.setText(text);
  bool parsed = Json::sax_parse(text.begin(), text.end(), &builder);
  return builder.result(parsed);
}

}  // namespace corvela
