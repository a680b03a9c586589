#pragma once

#include <string>
#include <string_view>

namespace corvela {

// Fills a description or memo template: "%d" becomes the description, "%m" the memo; "%"
// followed by any other character stays as the two characters, a "%" at the very end is
// dropped, everything else is copied. An absent description or memo is passed as "".
std::string convertOutputForFieldType(std::string_view outputTemplate, std::string_view description,
                                      std::string_view memo);
// The same, appended to `out`: the output of a run is written straight into its buffer.
void appendOutputForFieldType(std::string& out, std::string_view outputTemplate,
                              std::string_view description, std::string_view memo);

}  // namespace corvela
