#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace corvela {

// Fills the message `format` the way the program's messages are written: each "%@" and each
// "%d" takes the next argument, in order, as it is (numbers are passed already written). A
// placeholder without an argument is dropped; "%%" stands for "%"; any other "%" stays.
std::string formatMessage(std::string_view format, std::initializer_list<std::string_view> args);

}  // namespace corvela
