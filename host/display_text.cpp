#include "host/display_text.h"

#include <iconv.h>
#include <libxml/HTMLparser.h>
#include <utf8proc.h>

#include <cerrno>
#include <optional>

namespace feedline::host {
namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

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

// Feeds that declare ISO-8859-1 mostly hold Windows-1252; the five bytes that code page leaves
// undefined become U+FFFD. Nothing when the system has no converter for it.
std::optional<std::string> FromWindows1252(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outAt = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    out.append(buffer, static_cast<size_t>(outAt - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      out += "\uFFFD";
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return out;
}

// What the HTML pass keeps of a parse: the text outside script and style elements.
struct TextCollector {
  std::string text;
  int skipped = 0;  // depth inside script or style
};

bool IsSkippedElement(const xmlChar* name) {
  return xmlStrcasecmp(name, BAD_CAST "script") == 0 || xmlStrcasecmp(name, BAD_CAST "style") == 0;
}

void OnStartElement(void* context, const xmlChar* name, const xmlChar**) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (IsSkippedElement(name)) ++collector.skipped;
  // A line break stands between the texts around a <br>.
  if (xmlStrcasecmp(name, BAD_CAST "br") == 0) collector.text += ' ';
}

void OnEndElement(void* context, const xmlChar* name) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (IsSkippedElement(name) && collector.skipped > 0) --collector.skipped;
}

void OnCharacters(void* context, const xmlChar* characters, int length) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (collector.skipped == 0) collector.text.append(reinterpret_cast<const char*>(characters),
                                                    static_cast<std::size_t>(length));
}

// UTF-8 text read as HTML in one streaming pass (no document tree): tags dropped, character
// references decoded. Nothing when no parser could be made.
std::optional<std::string> HtmlText(std::string_view utf8) {
  if (utf8.find_first_of("<&") == std::string_view::npos) return std::string(utf8);
  htmlSAXHandler handler{};
  handler.startElement = &OnStartElement;
  handler.endElement = &OnEndElement;
  handler.characters = &OnCharacters;
  handler.ignorableWhitespace = &OnCharacters;
  TextCollector collector;
  htmlParserCtxtPtr parser =
      htmlCreatePushParserCtxt(&handler, &collector, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
  if (parser == nullptr) return std::nullopt;
  htmlCtxtUseOptions(parser, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  htmlParseChunk(parser, utf8.data(), static_cast<int>(utf8.size()), 1);
  htmlFreeParserCtxt(parser);
  return std::move(collector.text);
}

// CDATA sections made ordinary escaped text, so that one HTML pass gives their content back as
// it is (no decoding inside) and the rest decoded.
std::string EscapeCdataSections(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find(kCdataOpen, at);
    out += text.substr(at, open - at);
    if (open == std::string_view::npos) break;
    const std::size_t start = open + kCdataOpen.size();
    const std::size_t close = text.find(kCdataClose, start);
    for (const char c : text.substr(start, close - start)) {
      if (c == '&') out += "&amp;";
      else if (c == '<') out += "&lt;";
      else out += c;
    }
    at = close == std::string_view::npos ? text.size() : close + kCdataClose.size();
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

// Control and bidirectional formatting characters dropped, white space runs made one space,
// both ends trimmed.
std::string CleanCharacters(std::string_view utf8) {
  std::string out;
  bool pendingSpace = false;
  // The text was made valid UTF-8 before, so the walk always reaches its end.
  ForEachCodePoint(utf8, [&](utf8proc_int32_t c, std::size_t) {
    if (IsSpace(c)) {
      pendingSpace = !out.empty();
      return;
    }
    if (IsRemoved(c)) return;
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    utf8proc_uint8_t encoded[4];
    out.append(reinterpret_cast<char*>(encoded),
               static_cast<size_t>(utf8proc_encode_char(c, encoded)));
  });
  return out;
}

}  // namespace

std::string DisplayText(std::string_view feedBytes, std::string* problem) {
  const std::string_view bounded = BoundedPrefix(feedBytes);
  // A step that cannot run leaves the text as it is, visibly escaped, rather than dropping it.
  const auto sayProblem = [problem](const char* why) {
    if (problem != nullptr) *problem = why;
  };
  std::optional<std::string> utf8(std::in_place, bounded);
  if (!IsValidUtf8(bounded)) {
    utf8 = FromWindows1252(bounded);
    if (!utf8) {
      sayProblem("cannot convert from Windows-1252 (iconv): showing such bytes as \\x escapes");
      utf8 = EscapeInvalidBytes(bounded);
    }
  }
  const std::string escaped = EscapeCdataSections(*utf8);
  std::optional<std::string> text = HtmlText(escaped);
  if (!text) {
    sayProblem("cannot create the HTML parser (libxml2): showing titles with their markup");
    text = escaped;
  }
  return CleanCharacters(*text);
}

std::string FitToColumns(std::string_view text, int columns) {
  if (columns < 1) return {};
  // Clusters are copied as they come, each at most kMaxClusterBytes (a base with a million
  // combining marks keeps its first marks), and the walk stops at the first cluster that does
  // not fit: the work is bounded by the width, not by the text.
  std::string out;
  std::size_t fitEnd = 0;       // bytes of `out` that fit in columns - 1, leaving the ellipsis
  std::size_t clusterStart = 0;  // where the cluster being copied starts in `out`
  int used = 0;                  // columns of the clusters before it
  int clusterWidth = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  // Ends the cluster being copied; false when it does not fit.
  const auto endCluster = [&] {
    used += clusterWidth;
    if (used > columns) return false;
    if (used <= columns - 1) fitEnd = out.size();
    return true;
  };
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (std::size_t offset = 0; offset < text.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t length = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &c);
    if (length < 0) break;  // not UTF-8: display text never is
    if (previous >= 0 && utf8proc_grapheme_break_stateful(previous, c, &state)) {
      if (!endCluster()) return out.substr(0, fitEnd) + "…";
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
  if (previous >= 0 && !endCluster()) return out.substr(0, fitEnd) + "…";
  return out;
}

ShownItem ToShownItem(std::string_view line, int maxWidth) {
  const auto marker = line.rfind("%l");
  const std::string_view title = line.substr(0, marker);
  const std::string_view link =
      marker == std::string_view::npos ? std::string_view{} : line.substr(marker + 2);
  ShownItem item;
  item.title = FitToColumns(DisplayText(title, &item.problem),
                            maxWidth > 0 ? maxWidth : kMaxTitleColumns);
  item.link = DisplayText(link, &item.problem);
  return item;
}

}  // namespace feedline::host
