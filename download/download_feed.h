#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace feedline {

// Limits that keep a bad server from hanging or exhausting the host.
struct DownloadLimits {
  long connectTimeoutMs = 10'000;   // to have a connection, name resolution included
  long transferTimeoutMs = 60'000;  // for the whole download
  std::uint64_t maxDocumentBytes = 64ull * 1024 * 1024;  // decoded bytes
};

// Fetches the document at `url` fresh from the server (no local cache read or written, with
// "Pragma: no-cache", the system's proxy settings and the host executable's file name as user
// agent), offering gzip and deflate and decoding what the server compressed. A completed transfer
// yields the document's bytes exactly, whatever the HTTP status; a failed one (no connection,
// time limit, cut-off or undecodable body, over the size limit) yields nothing.
std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits = {});

}  // namespace feedline
