#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace feedline::host {

// At most this many feeds share one host: each is a plug-in load and a thread of its own.
inline constexpr std::size_t kMaxFeeds = 50;

// A feed as typed on the command line: LABEL=ADDRESS or ADDRESS.
struct FeedArgument {
  std::string label;    // empty: none
  std::string address;  // as typed
  bool operator==(const FeedArgument&) const = default;
};

// Reads `arg` as LABEL=ADDRESS when the text before its first "=" is a label (1 to 32
// characters of UTF-8 without "=", ":", "/" or a control character) and an address follows;
// anything else is an address as it is, so "https://x/rss?a=b" and "./news=1.xml" stay whole.
FeedArgument ReadFeedArgument(std::string_view arg);

// Whether an argument after the first address is read as one more feed rather than as COUNT:
// it carries a label, has a "/" or ":", or has a "." and does not start as a number does (a
// digit, a sign, "$" or a blank). A file named otherwise ("news", "1.xml") is named "./NAME".
bool IsFurtherFeed(std::string_view arg);

}  // namespace feedline::host
