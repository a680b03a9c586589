#pragma once

#include <optional>
#include <string>
#include <utility>

namespace corvela {

// The outcome of an operation that can fail for a reason a person must be told.
// The message is written to be shown as it is: it names the file and says what went wrong.
class Status {
 public:
  static Status OK() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !message_.has_value(); }
  const std::string& message() const {
    static const std::string kNone;
    return message_ ? *message_ : kNone;
  }

 private:
  Status() = default;
  explicit Status(std::string message) : message_(std::move(message)) {}
  std::optional<std::string> message_;
};

// A value or the reason there is none.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)), status_(Status::OK()) {}
  Result(Status error) : status_(std::move(error)) {}

  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }
  const std::string& message() const { return status_.message(); }
  // Precondition: ok().
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace corvela
