#include "host/display_text.h"

#include <iconv.h>
#include <libxml/HTMLparser.h>
#include <utf8proc.h>

#include <cerrno>
#include <memory>
#include <vector>

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

// Feeds that declare ISO-8859-1 mostly hold Windows-1252; the five bytes that code page leaves
// undefined become U+FFFD.
std::string FromWindows1252(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
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

bool IsSkippedElement(const xmlNode* node) {
  const auto* name = reinterpret_cast<const char*>(node->name);
  return name != nullptr && (xmlStrcasecmp(node->name, BAD_CAST "script") == 0 ||
                             xmlStrcasecmp(node->name, BAD_CAST "style") == 0);
}

// The text of a parsed HTML tree; a line break stands between the texts around a <br>.
void CollectText(const xmlNode* node, std::string& out) {
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) out += reinterpret_cast<const char*>(node->content);
    } else if (node->type == XML_ELEMENT_NODE && !IsSkippedElement(node)) {
      if (xmlStrcasecmp(node->name, BAD_CAST "br") == 0) out += ' ';
      CollectText(node->children, out);
    }
  }
}

// UTF-8 text read as HTML: tags dropped, character references decoded.
std::string HtmlText(std::string_view utf8) {
  if (utf8.find_first_of("<&") == std::string_view::npos) return std::string(utf8);
  const std::string document = "<html><body><p>" + std::string(utf8) + "</p></body></html>";
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      htmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr, "UTF-8",
                     HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET),
      &xmlFreeDoc);
  std::string text;
  if (doc) CollectText(xmlDocGetRootElement(doc.get()), text);
  return text;
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

std::string DisplayText(std::string_view feedBytes) {
  const std::string utf8 =
      IsValidUtf8(feedBytes) ? std::string(feedBytes) : FromWindows1252(feedBytes);
  const std::string_view text = utf8;
  std::string joined;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find(kCdataOpen, at);
    joined += HtmlText(text.substr(at, open - at));
    if (open == std::string_view::npos) break;
    const std::size_t start = open + kCdataOpen.size();
    const std::size_t close = text.find(kCdataClose, start);
    joined += text.substr(start, close - start);  // kept as it is: no decoding inside
    at = close == std::string_view::npos ? text.size() : close + kCdataClose.size();
  }
  return CleanCharacters(joined);
}

std::string FitToColumns(std::string_view text, int columns) {
  struct Cluster {
    std::size_t end;  // byte offset just past the cluster
    int width;
  };
  std::vector<Cluster> clusters;
  int total = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  ForEachCodePoint(text, [&](utf8proc_int32_t c, std::size_t end) {
    const int width = utf8proc_charwidth(c);
    if (previous < 0 || utf8proc_grapheme_break_stateful(previous, c, &state)) {
      clusters.push_back({0, 0});
    }
    clusters.back().end = end;
    clusters.back().width += width;
    total += width;
    previous = c;
  });
  if (total <= columns) return std::string(text);
  std::size_t keep = 0;
  int used = 0;
  for (const Cluster& cluster : clusters) {
    if (used + cluster.width > columns - 1) break;  // one column stays for the ellipsis
    used += cluster.width;
    keep = cluster.end;
  }
  if (columns < 1) return {};
  return std::string(text.substr(0, keep)) + "…";
}

ShownItem ToShownItem(std::string_view line, int maxWidth) {
  const auto marker = line.rfind("%l");
  const std::string_view title = line.substr(0, marker);
  const std::string_view link =
      marker == std::string_view::npos ? std::string_view{} : line.substr(marker + 2);
  std::string shownTitle = DisplayText(title);
  if (maxWidth > 0) shownTitle = FitToColumns(shownTitle, maxWidth);
  return {shownTitle, DisplayText(link)};
}

}  // namespace feedline::host
