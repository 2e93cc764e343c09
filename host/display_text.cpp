#include "host/display_text.h"

#include <utf8proc.h>

#include <algorithm>
#include <optional>

#include "host/charset_decoding.h"
#include "host/html_text.h"
#include "host/xml_text.h"

namespace feedline::host {
namespace {


// Calls `visit(codepoint, end)` for each code point of `text`, `end` being the byte offset just
// past it; false at the first sequence that is not UTF-8.
template <typename Visit>
bool ForEachCodePoint(std::string_view text, Visit visit) {
  auto* begin = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t offset = 0;
  while (offset < text.size()) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t used = utf8proc_iterate(
        begin + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &c);
    if (used < 0) return false;
    offset += static_cast<std::size_t>(used);
    visit(c, offset);
  }
  return true;
}

bool IsValidUtf8(std::string_view bytes) {
  return ForEachCodePoint(bytes, [](utf8proc_int32_t, std::size_t) {});
}

// The bytes that are not UTF-8 written as visible escapes ("\x93"), the rest kept: what is
// shown when no converter can read them.
std::string EscapeInvalidBytes(std::string_view bytes) {
  std::string out;
  for (std::size_t at = 0; at < bytes.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(bytes.data() + at),
                         static_cast<utf8proc_ssize_t>(bytes.size() - at), &c);
    if (length > 0) {
      out.append(bytes.substr(at, static_cast<std::size_t>(length)));
      at += static_cast<std::size_t>(length);
      continue;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

// The first kMaxFeedBytes of a title or link, cut at a code point's start so that UTF-8 stays
// UTF-8: what can be shown of a text never needs more, whatever follows.
std::string_view BoundedPrefix(std::string_view bytes) {
  if (bytes.size() <= kMaxFeedBytes) return bytes;
  std::size_t end = kMaxFeedBytes;
  for (int back = 0; back < 3 && end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xc0) == 0x80;
       ++back) {
    --end;
  }
  return bytes.substr(0, end);
}

// Controls, and every format character (all the bidirectional controls among them, the byte
// order mark, zero-width space, tag characters...) but the two joiners, which emoji and many
// scripts need to show right.
bool IsRemoved(utf8proc_int32_t c) {
  if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) return true;  // C0, DEL, C1
  if (c == 0x200c || c == 0x200d) return false;           // ZWNJ, ZWJ
  if (c >= 0xe0000 && c <= 0xe007f) return true;           // tags, assigned or not
  return utf8proc_category(c) == UTF8PROC_CATEGORY_CF;
}

bool IsSpace(utf8proc_int32_t c) {
  if (c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') return true;
  return utf8proc_category(c) == UTF8PROC_CATEGORY_ZS || c == 0x2028 || c == 0x2029;
}

constexpr utf8proc_int32_t kBlackFlag = 0x1f3f4;
constexpr utf8proc_int32_t kCancelTag = 0xe007f;

// The length in bytes of the emoji tag sequence's tags at the start of `utf8` (one or more tag
// characters U+E0020 to U+E007E, then CANCEL TAG), or 0 when none starts there. After a black
// flag they name a region's flag (England's, Scotland's, Wales'), which must keep them to show.
std::size_t TagSequenceLength(std::string_view utf8) {
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
  std::size_t offset = 0;
  int tags = 0;
  while (offset < utf8.size()) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(utf8.size() - offset), &c);
    if (length < 0) return 0;
    offset += static_cast<std::size_t>(length);
    if (c == kCancelTag) return tags > 0 ? offset : 0;
    if (c < 0xe0020 || c > 0xe007e) return 0;
    ++tags;
  }
  return 0;
}

// Control and bidirectional formatting characters dropped (tags too, but those of an emoji tag
// sequence), white space runs made one space, both ends trimmed.
std::string CleanCharacters(std::string_view utf8) {
  std::string out;
  bool pendingSpace = false;
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
  // The text was made valid UTF-8 before, so the walk always reaches its end.
  for (std::size_t offset = 0; offset < utf8.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(utf8.size() - offset), &c);
    if (length < 0) break;
    const std::string_view encoded = utf8.substr(offset, static_cast<std::size_t>(length));
    offset += static_cast<std::size_t>(length);
    if (IsSpace(c)) {
      pendingSpace = !out.empty();
      continue;
    }
    if (IsRemoved(c)) continue;
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    out.append(encoded);
    if (c == kBlackFlag) {
      const std::size_t tags = TagSequenceLength(utf8.substr(offset));
      out.append(utf8.substr(offset, tags));
      offset += tags;
    }
  }
  return out;
}

}  // namespace

std::string DisplayText(std::string_view feedBytes, std::string* problem) {
  const std::string_view bounded = BoundedPrefix(feedBytes);
  // A step that cannot run leaves the text as it is, visibly escaped, rather than dropping it.
  const auto sayProblem = [problem](const char* why) {
    if (problem != nullptr) *problem = why;
  };
  std::string utf8;
  if (IsValidUtf8(bounded)) {
    utf8.assign(bounded);
  } else if (std::optional<std::string> converted = DecodeToUtf8(bounded, "WINDOWS-1252")) {
    // Feeds that declare ISO-8859-1 mostly hold Windows-1252; the five bytes that code page
    // leaves undefined become U+FFFD.
    utf8 = std::move(*converted);
  } else {
    sayProblem("cannot convert from Windows-1252 (iconv): showing such bytes as \\x escapes");
    utf8 = EscapeInvalidBytes(bounded);
  }
  if (const std::optional<std::string> text = HtmlText(utf8)) return CleanCharacters(*text);
  sayProblem("cannot create the HTML parser (libxml2): showing titles with their markup");
  return CleanCharacters(utf8);
}

int ColumnsOf(std::string_view text) {
  int columns = 0;
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (std::size_t offset = 0; offset < text.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &c);
    if (length < 0) break;
    columns += utf8proc_charwidth(c);
    offset += static_cast<std::size_t>(length);
  }
  return columns;
}

std::string FitToColumns(std::string_view text, int columns, std::string_view ellipsis) {
  if (columns < 1) return {};
  const int ellipsisColumns = ColumnsOf(ellipsis);
  // An ending wider than the whole width is itself cut to it.
  const std::string ending = ellipsisColumns <= columns ? std::string(ellipsis)
                                                        : FitToColumns(ellipsis, columns, "");
  const int room = columns - std::min(ellipsisColumns, columns);
  // Clusters are copied as they come, each at most kMaxClusterBytes (a base with a million
  // combining marks keeps its first marks), and the walk stops at the first cluster that does
  // not fit: the work is bounded by the width, not by the text.
  std::string out;
  std::size_t fitEnd = 0;       // bytes of `out` that fit in `room`, leaving the ending
  std::size_t clusterStart = 0;  // where the cluster being copied starts in `out`
  int used = 0;                  // columns of the clusters before it
  int clusterWidth = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  // Ends the cluster being copied; false when it does not fit.
  const auto endCluster = [&] {
    used += clusterWidth;
    if (used > columns) return false;
    if (used <= room) fitEnd = out.size();
    return true;
  };
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (std::size_t offset = 0; offset < text.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &c);
    if (length < 0) break;  // not UTF-8: display text never is
    if (previous >= 0 && utf8proc_grapheme_break_stateful(previous, c, &state)) {
      if (!endCluster()) return out.substr(0, fitEnd) + ending;
      clusterStart = out.size();
      clusterWidth = 0;
    }
    if (out.size() - clusterStart + static_cast<std::size_t>(length) <= kMaxClusterBytes) {
      out.append(text.substr(offset, static_cast<std::size_t>(length)));
      clusterWidth += utf8proc_charwidth(c);
    }
    previous = c;
    offset += static_cast<std::size_t>(length);
  }
  if (previous >= 0 && !endCluster()) return out.substr(0, fitEnd) + ending;
  return out;
}

std::string DisplayText(std::string_view feedBytes, const TextFacts& facts, bool isLink,
                        std::string* problem) {
  const std::string_view bounded = feedBytes.substr(0, kMaxFeedBytes);
  std::optional<std::string> decoded =
      DecodeToUtf8(bounded, facts.encoding, bounded.size() < feedBytes.size());
  if (!decoded) {
    if (problem != nullptr) {
      *problem = "iconv cannot convert from " + facts.encoding + ": reading titles as UTF-8";
    }
    return DisplayText(feedBytes, problem);
  }
  if (isLink || facts.titleKind != TitleKind::Html) {
    return CleanCharacters(XmlText(*decoded, /*keepTags=*/false));
  }
  const std::string markup = XmlText(*decoded, /*keepTags=*/true);
  if (const std::optional<std::string> text = HtmlBodyText(markup)) return CleanCharacters(*text);
  if (problem != nullptr) {
    *problem = "cannot create the HTML parser (libxml2): showing titles with their markup";
  }
  return CleanCharacters(markup);
}

ShownItem ToShownItem(std::string_view line, int maxWidth, std::string_view ellipsis,
                      const TextFacts* facts, std::string_view label) {
  const auto marker = line.rfind("%l");
  const std::string_view title = line.substr(0, marker);
  const std::string_view link =
      marker == std::string_view::npos ? std::string_view{} : line.substr(marker + 2);
  ShownItem item;
  const std::string titleText = facts != nullptr
                                    ? DisplayText(title, *facts, false, &item.problem)
                                    : DisplayText(title, &item.problem);
  item.link = facts != nullptr ? DisplayText(link, *facts, true, &item.problem)
                               : DisplayText(link, &item.problem);
  // The user's own text, shown as typed: only what no line may carry is removed.
  const std::string labelText =
      CleanCharacters(IsValidUtf8(label) ? std::string(label) : EscapeInvalidBytes(label));
  const bool labelled = !labelText.empty() && !(titleText.empty() && item.link.empty());
  const std::string shown = !labelled            ? titleText
                            : titleText.empty() ? labelText
                                                : labelText + kLabelSeparator + titleText;
  item.title = FitToColumns(shown, maxWidth > 0 ? maxWidth : kMaxTitleColumns, ellipsis);
  if (labelled) item.label = FitToColumns(labelText, kMaxTitleColumns, ellipsis);
  return item;
}

}  // namespace feedline::host
