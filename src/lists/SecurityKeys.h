#pragma once

#include <string_view>

namespace corvela {

// Keys of a security record in the security list.
namespace securityKey {
inline constexpr std::string_view Name = "Name";      // as the finance software knows it
inline constexpr std::string_view Symbol = "Symbol";  // its ticker symbol, possibly ""
}  // namespace securityKey

// The security mappings an input format record keeps: under SecurityMappings, dictionaries from
// the text a statement uses (formatName) to the security it stands for (quickenName). They are
// owned here, beside the list they point into; the input-format keys refer to them.
namespace securityMappingKey {
inline constexpr std::string_view SecurityMappings = "SecurityMappings";  // array of dicts
inline constexpr std::string_view formatName = "formatName";
inline constexpr std::string_view quickenName = "quickenName";
}  // namespace securityMappingKey

}  // namespace corvela
