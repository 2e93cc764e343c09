#include "checker/check_report.h"

#include "plugin/download_outcome.h"

namespace feedline {
namespace {

// The first `limit` bytes of `text`, not ending inside a UTF-8 sequence, with "..." when cut.
std::string CutEscaped(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return EscapeForLine(text);
  std::size_t end = limit;
  // At most three continuation bytes end a sequence; more than that were never UTF-8.
  for (int back = 0; back < 3 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80;
       ++back) {
    --end;
  }
  return EscapeForLine(text.substr(0, end)) + "...";
}

}  // namespace

ReportedItem RawReportedItem(std::string_view line) {
  const std::size_t split = line.rfind("%l");
  if (split == std::string_view::npos) return {CutEscaped(line, kReportedTitleBytes), ""};
  return {CutEscaped(line.substr(0, split), kReportedTitleBytes),
          CutEscaped(line.substr(split + 2), kReportedLinkBytes)};
}

std::string CheckReport(std::string_view url, const std::vector<std::string>& told,
                        const ReportedItem& first) {
  // The plug-in escapes what it tells; escaped again here, a plug-in of another make cannot
  // move the console either (the escape leaves escaped text as it is).
  const std::string outcome =
      told.empty() ? "(the plug-in said nothing)" : EscapeForLine(told.back());
  const std::optional<std::uint64_t> items = ItemsInOutcome(outcome, url);
  std::string report = "address: " + ShownAddress(url) + "\n";
  report += "outcome: " + outcome + "\n";
  report += "items:   " + (items ? std::to_string(*items) : "none (the download failed)") + "\n";
  if (first.Empty()) return report + "first:   nothing can be shown\n";
  return report + "first:   " + first.title + "\nlink:    " + first.link + "\n";
}

}  // namespace feedline
