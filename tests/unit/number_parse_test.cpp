#include "plugin/number_parse.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>

#include "tests/unit/bytes.h"

namespace feedline {
namespace {

// A readable test name for a parameter text: its index and its letters and digits.
std::string CaseName(std::size_t index, const std::string& text) {
  std::string name = std::to_string(index) + "_";
  for (const char c : text) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

struct ValidCase {
  std::string text;
  std::int32_t value;
};

class ValidNumber : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidNumber, ParsesToValue) {
  const auto parsed = ParseInteger(GetParam().text);
  ASSERT_TRUE(parsed.has_value()) << "'" << GetParam().text << "'";
  EXPECT_EQ(*parsed, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ValidNumber,
    testing::Values(ValidCase{"15", 15}, ValidCase{"  15", 15}, ValidCase{"+15", 15},
                    ValidCase{"-3", -3}, ValidCase{"0", 0}, ValidCase{"-0", 0},
                    ValidCase{"007", 7}, ValidCase{"$1E", 30}, ValidCase{"0x1e", 30},
                    ValidCase{"0X1E", 30}, ValidCase{"x1f", 31}, ValidCase{"X1F", 31},
                    ValidCase{"-x1F", -31}, ValidCase{" +$10", 16},
                    // decimal range limits, leading zeros included
                    ValidCase{"2147483647", INT_MAX}, ValidCase{"-2147483648", INT_MIN},
                    ValidCase{"000000000002147483647", INT_MAX},
                    // hexadecimal: a 32-bit pattern read as signed, minus wrapping around
                    ValidCase{"$FFFFFFFF", -1}, ValidCase{"$7FFFFFFF", INT_MAX},
                    ValidCase{"$80000000", INT_MIN}, ValidCase{"-$80000000", INT_MIN},
                    ValidCase{"-$FFFFFFFF", 1}, ValidCase{"$000000000001", 1},
                    ValidCase{"0x00000000", 0}),
    [](const auto& info) { return CaseName(info.index, info.param.text); });

class MalformedNumber : public testing::TestWithParam<std::string> {};

TEST_P(MalformedNumber, IsRejected) {
  EXPECT_FALSE(ParseInteger(GetParam()).has_value()) << "'" << GetParam() << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, MalformedNumber,
    testing::Values("", "   ", "+", "-", "$", "x", "0x", "- 5", "+-5", "--5", "15 ", "15x",
                    "1.5", "1e3", "\t15", "\n15", "1 5", "$-1", "0x 1", "0x1g", "$+1",
                    "2147483648", "-2147483649", "+2147483648", "99999999999999999999999",
                    "$100000000", "-$123456789", Bytes("1\0")),
    [](const auto& info) { return CaseName(info.index, info.param); });

}  // namespace
}  // namespace feedline
