// The library writes its lines to standard error only when FEEDLINE_DEBUG asks for them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "plugin/diagnostics.h"
#include "tests/support/standard_error.h"

namespace feedline {
namespace {

// What TellPerson writes to standard error.
std::string StandardErrorOf(const char* line) {
  return test::StandardErrorDuring([line] { TellPerson(line); });
}

TEST(TellPerson, WritesOnlyWhenFeedlineDebugAsks) {
  const struct {
    const char* value;  // nullptr: not set
    const char* written;
  } cases[] = {
      {nullptr, ""},
      {"", ""},
      {"0", ""},
      {"1", "feedline: http://x/feed: HTTP 200, 10 bytes, 1 item\n"},
      {"yes", "feedline: http://x/feed: HTTP 200, 10 bytes, 1 item\n"},
  };
  for (const auto& c : cases) {
    if (c.value == nullptr) {
      unsetenv("FEEDLINE_DEBUG");
    } else {
      setenv("FEEDLINE_DEBUG", c.value, 1);
    }
    EXPECT_EQ(StandardErrorOf("http://x/feed: HTTP 200, 10 bytes, 1 item"), c.written)
        << (c.value ? c.value : "(unset)");
  }
  unsetenv("FEEDLINE_DEBUG");
}

}  // namespace
}  // namespace feedline
