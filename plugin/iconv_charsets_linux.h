#pragma once

#include <string_view>

namespace feedline {

// Whether iconv converts from the encoding `name` (registered names and aliases alike).
bool IconvKnows(std::string_view name);

// Whether `bytes` are UTF-8 throughout: iconv's UTF-8 decoder refuses every ill-formed sequence.
bool IsUtf8(std::string_view bytes);

}  // namespace feedline
