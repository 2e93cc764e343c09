// The numeric parse against a reference written separately: a plain character walk with a
// 64-bit accumulator. Both must accept exactly the same texts, with the same values.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "plugin/number_parse.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ReferenceParse(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (s.substr(i, 2) == "0x" || s.substr(i, 2) == "0X") {
    hex = true;
    i += 2;
  } else if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    i += 1;
  }
  if (i == s.size()) return std::nullopt;
  std::uint64_t value = 0;
  int significant = 0;
  for (; i < s.size(); ++i) {
    const int digit = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    if (hex) {
      if (value != 0 || digit != 0) ++significant;
      if (significant > 8) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(digit);
    } else {
      value = value * 10 + static_cast<unsigned>(digit);
      if (value > 2147483648u) return std::nullopt;
    }
  }
  if (hex) {
    const auto pattern = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
  }
  if (!negative && value > 2147483647u) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                            : static_cast<std::int64_t>(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (feedline::ParseInteger(text) != ReferenceParse(text)) __builtin_trap();
  return 0;
}
