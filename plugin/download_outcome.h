#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "download/download_feed.h"

namespace feedline {

// What a person needs to know of a downloaded document: how many items the walk finds in it,
// or, for an Atom feed, how many entries.
struct DocumentSummary {
  std::uint64_t items = 0;  // items, or entries when `atom`
  bool atom = false;
};

// Counts the items of `document` once: the positions that show an item are those before the
// last "</item>"; in an Atom feed (`atom`, as IsAtomDocument decided it), its entries.
DocumentSummary SummarizeDocument(std::string_view document, bool atom);

// The address without any "user:password@" part, so that it can be shown.
std::string AddressWithoutCredentials(std::string_view url);

// The outcome line. Its shape is stable, since feedline-host --check reads it back
// (ItemsInOutcome below, beside its writer):
//   ADDRESS ": " [ "HTTP " STATUS ", " ] BYTES (" byte" | " bytes")
//       [ " received, " DECODED " decoded" ] ", "
//       ( N " item" | N " items" | N " entry (Atom)" | N " entries (Atom)" | "no items: " WHY )
//   ADDRESS ": download failed: " PHRASE
// where ADDRESS is the address without credentials. As told, the line may end in
// " (" DETAIL ")", the platform's own words, and every control character in it is escaped.
//
// One short line on how a download went, for example
//   "http://example.org/news.rss: HTTP 200, 1212 bytes, 5 items"
//   "http://example.org/news.rss: HTTP 200, 515 bytes received, 1212 decoded, 5 items"
//   "http://example.org/news.rss: download failed: connection refused"
// `documentBytes` and `summary` describe the document a completed download delivered. The
// report's detail is left out: the caller adds it where it shows the line.
std::string DescribeOutcome(std::string_view url, const DownloadReport& report,
                            std::uint64_t documentBytes, const DocumentSummary& summary);

// The kind of an outcome, which decides whether it is told again: success or failure, which
// failure, the HTTP status, items or none. Counts alone do not make a new kind, so a live feed
// whose size changes from download to download is not told at every download.
std::string OutcomeKind(const DownloadReport& report, const DocumentSummary& summary);

// `text` with every control character (C0, DEL, C1) and every byte that is not UTF-8 written
// as a visible "\x1b", so that a line told to a person stays one line and moves no terminal:
// a certificate's name or a server's words can neither forge a line nor set a window title.
std::string EscapeForLine(std::string_view text);

// An address as every line shows it: without credentials, its control characters escaped.
std::string ShownAddress(std::string_view url);

// The item count in an outcome line told for `url` (with or without its detail); nothing when
// the download failed or the line is not one of the library's.
std::optional<std::uint64_t> ItemsInOutcome(std::string_view line, std::string_view url);

}  // namespace feedline
