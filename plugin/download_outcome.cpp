#include "plugin/download_outcome.h"

#include <optional>

#include "plugin/entry_selection.h"
#include "plugin/text_search.h"

namespace feedline {
namespace {

std::string Bytes(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

std::string Items(const DocumentSummary& summary) {
  if (summary.atom) {
    return std::to_string(summary.items) + (summary.items == 1 ? " entry" : " entries") + " (Atom)";
  }
  if (summary.items == 1) return "1 item";
  if (summary.items > 1) return std::to_string(summary.items) + " items";
  return "no items: no <item> element";
}

}  // namespace

DocumentSummary SummarizeDocument(std::string_view document, bool atom) {
  constexpr std::string_view kClose = "</item>";
  DocumentSummary summary;
  for (std::size_t at = FindBytes(document, kClose); at != std::string_view::npos;
       at = FindBytes(document, kClose)) {
    ++summary.items;
    document.remove_prefix(at + kClose.size());
  }
  if (atom) {
    summary.atom = true;
    summary.items = CountEntries(document);
  }
  return summary;
}

std::string AddressWithoutCredentials(std::string_view url) {
  // Found where URL parsers find them, curl's among them, whatever the spelling: after leading
  // blanks, an optional scheme, its colon and any number of slashes (none is enough without a
  // scheme: "user:pw@host/feed"), up to the last "@" before the path, query or fragment. A
  // scheme counts only when a slash follows its colon ("http:user:pw@host" has none: there
  // "http" is the user name). Backslashes count as slashes, as some parsers read them.
  std::size_t authority = 0;
  while (authority < url.size() && static_cast<unsigned char>(url[authority]) <= ' ') {
    ++authority;
  }
  const auto isSlash = [](char c) { return c == '/' || c == '\\'; };
  std::size_t scheme = authority;
  const auto isSchemeChar = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '+' || c == '-' || c == '.';
  };
  while (scheme < url.size() && isSchemeChar(url[scheme])) ++scheme;
  if (scheme > authority && scheme + 1 < url.size() && url[scheme] == ':' &&
      isSlash(url[scheme + 1])) {
    authority = scheme + 1;
  }
  while (authority < url.size() && isSlash(url[authority])) ++authority;
  std::size_t end = authority;
  while (end < url.size() && !isSlash(url[end]) && url[end] != '?' && url[end] != '#') ++end;
  // The last "@" ends the credentials: a password may contain "@" itself.
  const std::size_t at = url.substr(authority, end - authority).rfind('@');
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

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continuation = [&](std::size_t i, unsigned char low = 0x80, unsigned char high = 0xbf) {
    return i < text.size() && byte(i) >= low && byte(i) <= high;
  };
  const unsigned char lead = byte(0);
  if (lead >= 0xc2 && lead <= 0xdf) return continuation(1) ? 2 : 0;
  if (lead >= 0xe0 && lead <= 0xef) {
    const unsigned char low = lead == 0xe0 ? 0xa0 : 0x80, high = lead == 0xed ? 0x9f : 0xbf;
    return continuation(1, low, high) && continuation(2) ? 3 : 0;
  }
  if (lead >= 0xf0 && lead <= 0xf4) {
    const unsigned char low = lead == 0xf0 ? 0x90 : 0x80, high = lead == 0xf4 ? 0x8f : 0xbf;
    return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
}

// Reads a run of decimal digits from the front of `text`; nothing when there is none.
std::optional<std::uint64_t> TakeNumber(std::string_view& text) {
  std::size_t digits = 0;
  std::uint64_t value = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + static_cast<std::uint64_t>(text[digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

bool TakeWord(std::string_view& text, std::string_view word) {
  if (!text.starts_with(word)) return false;
  text.remove_prefix(word.size());
  return true;
}

}  // namespace

std::string OutcomeKind(const DownloadReport& report, const DocumentSummary& summary) {
  if (!report.complete) return std::string("failed: ") + FailurePhrase(report.failure);
  return "HTTP " + std::to_string(report.httpStatus) +
         (summary.items == 0 ? ", no items" : summary.atom ? ", entries" : ", items");
}

std::string ShownAddress(std::string_view url) {
  return EscapeForLine(AddressWithoutCredentials(url));
}

std::string EscapeForLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    std::size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text);
    // C0 controls, DEL, C1 controls (U+0080 to U+009F) and bytes that are not UTF-8.
    const bool control = byte < 0x20 || byte == 0x7f || length == 0 ||
                         (byte == 0xc2 && static_cast<unsigned char>(text[1]) < 0xa0);
    if (length == 0) length = 1;
    if (control) {
      AppendEscaped(out, text.substr(0, length));
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

std::optional<std::uint64_t> ItemsInOutcome(std::string_view line, std::string_view url) {
  // The line starts with the address as DescribeOutcome writes it, so nothing in the address
  // can be taken for a count; everything after it is the library's own words.
  const std::string address = ShownAddress(url) + ": ";
  if (!TakeWord(line, address)) return std::nullopt;
  if (TakeWord(line, "HTTP ") && (!TakeNumber(line) || !TakeWord(line, ", "))) return std::nullopt;
  if (!TakeNumber(line) || !(TakeWord(line, " bytes") || TakeWord(line, " byte"))) {
    return std::nullopt;
  }
  if (TakeWord(line, " received, ") && (!TakeNumber(line) || !TakeWord(line, " decoded"))) {
    return std::nullopt;
  }
  if (!TakeWord(line, ", ")) return std::nullopt;
  if (line.starts_with("no items")) return 0;
  const std::optional<std::uint64_t> items = TakeNumber(line);
  if (!items || !(TakeWord(line, " items") || TakeWord(line, " item") ||
                  TakeWord(line, " entries (Atom)") || TakeWord(line, " entry (Atom)"))) {
    return std::nullopt;
  }
  return items;
}

}  // namespace feedline
