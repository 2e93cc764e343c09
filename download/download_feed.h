#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "download/download_failure.h"

namespace feedline {

// The longest redirect Location followed, on both platforms: Wine's WinINet cuts a header line
// at its 4 KiB buffer ("Location: " and 4085 bytes), and a cut Location would send the request
// to a wrong address. A longer one fails as a redirect to an address not valid.
inline constexpr std::size_t kMaxLocationBytes = 4084;

// Limits that keep a bad server from hanging or exhausting the host.
struct DownloadLimits {
  long connectTimeoutMs = 10'000;   // to have a connection, name resolution included
  long transferTimeoutMs = 60'000;  // for the whole download
  std::uint64_t maxDocumentBytes = 64ull * 1024 * 1024;  // decoded bytes
};

// What one download did, for a person asking why the line is empty.
struct DownloadReport {
  bool complete = false;        // the transfer ended properly (whatever the HTTP status)
  long httpStatus = 0;          // the final answer's status; 0 when the address is not HTTP(S)
  std::uint64_t wireBytes = 0;  // body bytes as received, before any decoding
  DownloadFailure failure = DownloadFailure::None;  // what failed, when it did not complete
  std::uint64_t sizeLimit = 0;  // with TooLarge: the limit the document went over, in bytes
  std::string detail;  // the platform's own words for it, which may differ from try to try
  std::string contentType;  // the final answer's Content-Type, where the platform tells it
};

// Fetches the document at `url` fresh from the server (no local cache read or written, with
// "Pragma: no-cache", the system's proxy settings and the host executable's file name as user
// agent), offering gzip and deflate and decoding what the server compressed. A completed transfer
// yields the document's bytes exactly, whatever the HTTP status; a failed one (no connection,
// time limit, cut-off or undecodable body, over the size limit) yields nothing. When `report` is
// given, it tells how the download went.
std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits = {},
                                        DownloadReport* report = nullptr);

}  // namespace feedline
