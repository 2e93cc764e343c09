#pragma once

#include <cstdint>

#include "plugin/feed_cache.h"

namespace feedline {

// Limits that keep a bad server from hanging or exhausting the host.
struct DownloadLimits {
  long connectTimeoutMs = 10'000;   // to have a connection, name resolution included
  long transferTimeoutMs = 60'000;  // for the whole download
  std::uint64_t maxDocumentBytes = 64ull * 1024 * 1024;
};

// Fetches the document at `url` fresh from the server (no local cache read or written, with
// "Pragma: no-cache", the system's proxy settings and the host executable's file name as user
// agent). A completed transfer replaces the cache with the body exactly as received, whatever
// the HTTP status, and returns true. A failed one (no connection, time limit, cut-off body,
// over the size limit) leaves the cache untouched and returns false.
bool DownloadFeed(const char* url, FeedCache& cache, const DownloadLimits& limits = {});

}  // namespace feedline
