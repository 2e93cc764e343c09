#include "plugin/feed_state.h"

#include <new>

namespace feedline {
namespace {

// Constant-initialised, so it is valid before any constructor of the library has run.
FeedState* g_state = nullptr;

}  // namespace

FeedState MakeLoadedState(DateTime (*now)()) {
  FeedState state;
  state.LastFetchTime = now();
  state.LastRotateTime = now();
  return state;
}

FeedState* CurrentState() { return g_state; }

void CreateFeedState() {
  if (g_state != nullptr) return;
  // Out of memory at load leaves no state; every call then returns the empty text.
  g_state = new (std::nothrow) FeedState(MakeLoadedState(&LocalNow));
}

void DestroyFeedState() {
  delete g_state;
  g_state = nullptr;
}

}  // namespace feedline
