#pragma once

#include <cstddef>
#include <string_view>

namespace feedline {

// Byte offset of the first occurrence of `needle` in `text`, or npos; exact, case-sensitive.
std::size_t FindBytes(std::string_view text, std::string_view needle);

}  // namespace feedline
