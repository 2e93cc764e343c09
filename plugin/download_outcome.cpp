#include "plugin/download_outcome.h"

#include "plugin/text_search.h"

namespace feedline {
namespace {

std::string Bytes(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string Items(const DocumentSummary& summary) {
  if (summary.items == 1) return "1 item";
  if (summary.items > 1) return std::to_string(summary.items) + " items";
  return summary.atom ? "no items: an Atom feed (<feed> with <entry>), which is not read"
                      : "no items: no <item> element";
}

}  // namespace

DocumentSummary SummarizeDocument(std::string_view document) {
  constexpr std::string_view kClose = "</item>";
  DocumentSummary summary;
  for (std::size_t at = FindBytes(document, kClose); at != std::string_view::npos;
       at = FindBytes(document, kClose)) {
    ++summary.items;
    document.remove_prefix(at + kClose.size());
  }
  if (summary.items == 0) {
    summary.atom = FindBytes(document, "<feed") != std::string_view::npos &&
                   FindBytes(document, "<entry") != std::string_view::npos;
  }
  return summary;
}

std::string AddressWithoutCredentials(std::string_view url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return std::string(url);
  const std::size_t authority = scheme + 3;
  const std::size_t authorityEnd = url.find_first_of("/?#", authority);
  const std::string_view host = url.substr(authority, authorityEnd - authority);
  // The last "@" ends the credentials: a password may contain "@" itself.
  const std::size_t at = host.rfind('@');
  if (at == std::string_view::npos) return std::string(url);
  return std::string(url.substr(0, authority)) + std::string(url.substr(authority + at + 1));
}

std::string DescribeOutcome(std::string_view url, const DownloadReport& report,
                            std::uint64_t documentBytes, const DocumentSummary& summary) {
  std::string line = AddressWithoutCredentials(url) + ": ";
  if (!report.complete) {
    line += "download failed: ";
    if (report.failure == DownloadFailure::TooLarge) {
      return line + "larger than " + std::to_string(report.sizeLimit / (1024 * 1024)) + " MiB";
    }
    return line + FailurePhrase(report.failure == DownloadFailure::None ? DownloadFailure::Other
                                                                         : report.failure);
  }
  if (report.httpStatus != 0) line += "HTTP " + std::to_string(report.httpStatus) + ", ";
  if (report.wireBytes != documentBytes) {
    line += Bytes(report.wireBytes) + " received, " + std::to_string(documentBytes) + " decoded";
  } else {
    line += Bytes(documentBytes);
  }
  return line + ", " + Items(summary);
}

}  // namespace feedline
