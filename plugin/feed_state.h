#pragma once

#include <cstdint>
#include <string>

#include "plugin/date_time.h"
#include "plugin/feed_cache.h"
#include "plugin/feed_walk.h"

namespace feedline {

// Everything the library remembers between calls; one record per loaded library.
struct FeedState {
  DateTime LastFetchTime = 0;   // last refresh download (or load time)
  DateTime LastRotateTime = 0;  // last advance of ItemIndex (or load time)
  std::int32_t ItemIndex = 1;   // 1-based position of the item shown
  FeedCache Cache;              // the last completed download
  std::string ResultText;       // the line the last call returned
  FeedWalk Walk;                // the walk to the position ResultText shows, in Cache
  bool FirstCall = true;        // true until the first call has downloaded
  std::string LastOutcome;      // the kind of the last outcome told to a person (OutcomeKind)
};

// A fresh record as at load: empty cache, both timestamps read from `now` (two readings).
FeedState MakeLoadedState(DateTime (*now)());

// The process-wide record, present between load and unload, otherwise null.
FeedState* CurrentState();

// Load and unload handling, called by the platform's load notifications.
void CreateFeedState();
void DestroyFeedState();

}  // namespace feedline
