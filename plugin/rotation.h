#pragma once

#include <functional>

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

// What one call needs from the outside world: the clock and the download.
struct Environment {
  std::function<DateTime()> now;
  // Replaces the cache with the document at the address; leaves it alone when the transfer fails.
  std::function<void(const char* url, FeedCache& cache)> download;
};

// One FetchRSS call on `state`: first download, refresh test, rotation test, then the item
// selection when the cache holds a document. Returns the line to show, valid until the next call.
// A malformed numeric parameter ends the call there and returns the line shown before.
const char* RunFetch(FeedState& state, const FetchParams& params, const Environment& env);

// The line last shown: the state's line, or a static empty text while there is none.
const char* CurrentLine(const FeedState& state);

}  // namespace feedline
