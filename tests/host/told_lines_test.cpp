// What a feed's plug-in told, as the host passes it on: named by the feed's label or address.
#include <gtest/gtest.h>

#include "host/told_lines.h"

namespace feedline::host {
namespace {

TEST(ToldLines, NameTheirFeed) {
  struct Case {
    std::string label;
    std::string line;
    std::string passed;
  };
  const std::string address = "https://h.example/rss";
  const std::vector<Case> cases = {
      {"HN", "feedline: https://h.example/rss: 512 bytes, 3 items",
       "feedline: HN: https://h.example/rss: 512 bytes, 3 items"},
      // Without a label the plug-in's own line already starts with the address.
      {"", "feedline: https://h.example/rss: 512 bytes, 3 items",
       "feedline: https://h.example/rss: 512 bytes, 3 items"},
      // A plug-in of another make: its words, named by the address, controls escaped.
      {"", "curl said \x1b[31mno", "feedline: https://h.example/rss: curl said \\x1b[31mno"},
      {"HN", "", "feedline: HN: "},
  };
  for (const Case& c : cases) EXPECT_EQ(TaggedToldLine(c.label, address, c.line), c.passed) << c.line;
}

}  // namespace
}  // namespace feedline::host
