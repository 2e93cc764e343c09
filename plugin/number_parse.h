#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace feedline {

// Parses a numeric call parameter: leading spaces, at most one sign, then decimal digits or a
// hexadecimal prefix ("$", "x", "X", "0x", "0X") with hex digits, and nothing after them.
// Decimal values must fit a signed 32-bit integer; hexadecimal ones may have up to 8 significant
// digits and are read as a 32-bit pattern (a minus sign negates it with wrap-around).
// Returns nothing for any other text.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace feedline
