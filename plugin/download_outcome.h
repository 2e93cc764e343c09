#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "download/download_feed.h"

namespace feedline {

// What a person needs to know of a downloaded document: how many items the walk finds in it,
// and whether it is an Atom feed (which has entries, not items).
struct DocumentSummary {
  std::uint64_t items = 0;
  bool atom = false;
};

// Counts the items of `document` once: the positions that show an item are those before the
// last "</item>".
DocumentSummary SummarizeDocument(std::string_view document);

// The address without any "user:password@" part, so that it can be shown.
std::string AddressWithoutCredentials(std::string_view url);

// One short line on how a download went, for example
//   "http://example.org/news.rss: HTTP 200, 1212 bytes, 5 items"
//   "http://example.org/news.rss: HTTP 200, 515 bytes received, 1212 decoded, 5 items"
//   "http://example.org/news.rss: download failed: connection refused"
// `documentBytes` and `summary` describe the document a completed download delivered. The
// report's detail is left out: the caller adds it where it shows the line.
std::string DescribeOutcome(std::string_view url, const DownloadReport& report,
                            std::uint64_t documentBytes, const DocumentSummary& summary);

}  // namespace feedline
