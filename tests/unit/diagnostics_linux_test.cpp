// The library writes its lines to standard error only when FEEDLINE_DEBUG asks for them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plugin/diagnostics.h"

namespace feedline {
namespace {

// What TellPerson writes to standard error, caught in a temporary file.
std::string StandardErrorOf(const char* line) {
  std::fflush(stderr);
  FILE* caught = std::tmpfile();
  const int saved = dup(STDERR_FILENO);
  dup2(fileno(caught), STDERR_FILENO);
  TellPerson(line);
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::string text(4096, '\0');
  std::rewind(caught);
  text.resize(std::fread(text.data(), 1, text.size(), caught));
  std::fclose(caught);
  return text;
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
