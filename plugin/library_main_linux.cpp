// Load and unload notifications of the shared object.
#include "plugin/feed_state.h"

namespace {

__attribute__((constructor)) void OnLoad() { feedline::CreateFeedState(); }

__attribute__((destructor)) void OnUnload() { feedline::DestroyFeedState(); }

}  // namespace
