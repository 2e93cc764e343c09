#include "plugin/number_parse.h"

#include <charconv>

namespace feedline {
namespace {

// Strips a hexadecimal prefix; returns false when the text does not start with one.
bool StripHexPrefix(std::string_view& text) {
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    return true;
  }
  if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
    text.remove_prefix(1);
    return true;
  }
  return false;
}

// Parses all of `digits` in `base` into `value`; fails on an empty text or any stray character.
template <typename T>
bool ParseAllDigits(std::string_view digits, int base, T& value) {
  if (digits.empty()) return false;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  return error == std::errc{} && stop == end;
}

std::optional<std::int32_t> ParseHex(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  const auto significant = digits.find_first_not_of('0');
  const std::string_view kept =
      significant == std::string_view::npos ? std::string_view("0") : digits.substr(significant);
  if (kept.size() > 8) return std::nullopt;
  std::uint32_t pattern = 0;
  if (!ParseAllDigits(kept, 16, pattern)) return std::nullopt;
  if (negative) pattern = 0u - pattern;  // unsigned arithmetic wraps by definition
  return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ParseDecimal(std::string_view digits, bool negative) {
  std::uint64_t magnitude = 0;
  if (!ParseAllDigits(digits, 10, magnitude)) return std::nullopt;
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  if (magnitude > limit) return std::nullopt;
  const auto value = static_cast<std::int64_t>(magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  const auto firstNonBlank = text.find_first_not_of(' ');
  if (firstNonBlank == std::string_view::npos) return std::nullopt;
  text.remove_prefix(firstNonBlank);

  bool negative = false;
  if (text.starts_with('+') || text.starts_with('-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Magnitudes are parsed as unsigned values, so from_chars takes digits only, never a second sign.
  if (StripHexPrefix(text)) return ParseHex(text, negative);
  return ParseDecimal(text, negative);
}

}  // namespace feedline
