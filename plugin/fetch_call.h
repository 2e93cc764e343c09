#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "download/download_feed.h"
#include "plugin/date_time.h"
#include "plugin/feed_state.h"

namespace feedline {

// The four texts a host passes to FetchRSS; a null pointer counts as the empty text.
struct FetchParams {
  const char* url;
  const char* count;
  const char* updateMinutes;
  const char* rotateSeconds;
};

// What one call needs from the outside world: the clock, the download and a person to tell.
struct Environment {
  std::function<DateTime()> now;
  // The document at the address, or nothing when the transfer failed; fills in the report.
  std::function<std::optional<std::string>(const char* url, DownloadReport& report)> download;
  // Receives a line each time the outcome of a download differs from the last one; may be empty.
  std::function<void(std::string_view line)> tell;
};

// One FetchRSS call on `state`: first download, refresh test, rotation test, then the item
// selection when the cache holds a document. Returns the line to show, valid until the next call.
// A malformed numeric parameter ends the call there and returns the line shown before.
const char* RunFetch(FeedState& state, const FetchParams& params, const Environment& env);

// The line last shown: the state's line, or a static empty text while there is none.
const char* CurrentLine(const FeedState& state);

}  // namespace feedline
