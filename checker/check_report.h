#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace feedline {

// The first item as the report shows it.
struct ReportedItem {
  std::string title;
  std::string link;
  bool Empty() const { return title.empty() && link.empty(); }
};

// Without a display program's rules: a line (title + "%l" + link) split at its last "%l", each
// part cut to a width a console shows on a few lines and every byte that is not printable
// escaped, so the report shows what the feed holds and cannot move the console.
ReportedItem RawReportedItem(std::string_view line);

inline constexpr std::size_t kReportedTitleBytes = 300;
inline constexpr std::size_t kReportedLinkBytes = 2000;

// The report of one check, as feedline-host --check and feedline-check.exe print it:
//   address: URL without credentials
//   outcome: the last line the plug-in told of the download
//   items:   how many items (or Atom entries) the download holds
//   first:   TITLE            or   first:   nothing can be shown
//   link:    LINK
// `told` is every line the plug-in told during the check; `first`, the item it returned.
std::string CheckReport(std::string_view url, const std::vector<std::string>& told,
                        const ReportedItem& first);

}  // namespace feedline
