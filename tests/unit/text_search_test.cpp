#include "plugin/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace feedline {
namespace {

// Compares with the standard library's search on texts around the 16-byte block edges, where
// a match can start in one block and end in the next, or sit in the unaligned tail.
TEST(FindBytes, AgreesWithStandardSearch) {
  std::mt19937 random(7);
  const std::string alphabet = "<>/itemx";
  const std::string needles[] = {"</item>", "<item>", "<title>", "i", "<>", "xx</item>xx"};
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 70, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    for (const std::string& needle : needles) {
      if (random() % 3 == 0 && text.size() > needle.size()) {
        text.replace(random() % (text.size() - needle.size()), needle.size(), needle);
      }
      ASSERT_EQ(FindBytes(text, needle), std::string_view(text).find(needle))
          << "text '" << text << "' needle '" << needle << "'";
    }
  }
}

TEST(FindBytes, EdgeCases) {
  EXPECT_EQ(FindBytes("abc", ""), 0u);
  EXPECT_EQ(FindBytes("", "a"), std::string_view::npos);
  EXPECT_EQ(FindBytes("ab", "abc"), std::string_view::npos);
  const std::string zeros("\0a\0</item>", 10);
  EXPECT_EQ(FindBytes(zeros, "</item>"), 3u);
  const std::string high(40, '\xFF');
  EXPECT_EQ(FindBytes(high + "</item>", "</item>"), 40u);
}

}  // namespace
}  // namespace feedline
