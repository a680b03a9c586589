#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvela {

// The lines of a text as views into it: cutting a statement into lines copies none of it.
//
// The views point into the text the lines were found in, which must outlive them and stay
// unchanged; only when the line ends forced a change (carriage returns dropped) do the lines
// point into a copy that this object shares. Copies of a TextLines share that copy too.
class TextLines {
 public:
  TextLines() = default;
  TextLines(std::vector<std::string_view> lines, std::shared_ptr<const std::string> storage = {})
      : lines_(std::move(lines)), storage_(std::move(storage)) {}

  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  std::string_view operator[](std::size_t index) const { return lines_[index]; }
  const std::string_view* begin() const { return lines_.data(); }
  const std::string_view* end() const { return lines_.data() + lines_.size(); }
  const std::string_view* data() const { return lines_.data(); }
  operator std::span<const std::string_view>() const { return lines_; }

  // The lines as strings of their own, for a caller that keeps them beyond the text.
  std::vector<std::string> strings() const;

 private:
  std::vector<std::string_view> lines_;
  std::shared_ptr<const std::string> storage_;
};

}  // namespace corvela
