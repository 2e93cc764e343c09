#include "host/xml_text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>

namespace feedline::host {
namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";
constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
// The longest reference decoded: "&#x10FFFF;" with leading zeros to spare.
constexpr std::size_t kMaxReference = 16;

void AppendUtf8(std::uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xc0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xe0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
    out += static_cast<char>(0x80 | (c & 0x3f));
  }
}

// The character a reference's name ("amp", "#38", "#x26") stands for; nothing for a name XML
// does not define or a number that is no character XML allows.
std::optional<std::uint32_t> ReferencedCharacter(std::string_view name) {
  if (name == "amp") return '&';
  if (name == "lt") return '<';
  if (name == "gt") return '>';
  if (name == "quot") return '"';
  if (name == "apos") return '\'';
  if (!name.starts_with('#')) return std::nullopt;
  const bool hex = name.size() > 1 && name[1] == 'x';
  const std::string_view digits = name.substr(hex ? 2 : 1);
  std::uint32_t c = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), c,
                                            hex ? 16 : 10);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  const bool allowed = c == 0x9 || c == 0xa || c == 0xd || (c >= 0x20 && c <= 0xd7ff) ||
                       (c >= 0xe000 && c <= 0xfffd) || (c >= 0x10000 && c <= 0x10ffff);
  if (!allowed) return std::nullopt;
  return c;
}

// Just past the first `close` at or after `at`, or the end of `text` when there is none.
std::size_t PastClose(std::string_view text, std::size_t at, std::string_view close) {
  const std::size_t found = text.find(close, at);
  return found == std::string_view::npos ? text.size() : found + close.size();
}

}  // namespace

std::string XmlText(std::string_view utf8, bool keepTags) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t special = utf8.find_first_of("<&", at);
    out.append(utf8.substr(at, special - at));
    if (special == std::string_view::npos) break;
    at = special;
    const std::string_view rest = utf8.substr(at);
    if (rest.starts_with(kCdataOpen)) {
      const std::size_t start = at + kCdataOpen.size();
      const std::size_t close = std::min(utf8.find(kCdataClose, start), utf8.size());
      out.append(utf8.substr(start, close - start));
      at = std::min(close + kCdataClose.size(), utf8.size());
    } else if (rest.starts_with(kCommentOpen)) {
      at = PastClose(utf8, at + kCommentOpen.size(), kCommentClose);
    } else if (rest.front() == '<') {
      const std::size_t close = utf8.find('>', at);
      // A '<' that opens no tag is text, as a reader of ill-formed titles expects.
      if (close == std::string_view::npos) {
        out += '<';
        ++at;
        continue;
      }
      if (keepTags) out.append(utf8.substr(at, close + 1 - at));
      at = close + 1;
    } else {  // '&'
      const std::size_t semicolon = rest.find(';');
      const std::optional<std::uint32_t> c =
          semicolon == std::string_view::npos || semicolon > kMaxReference
              ? std::nullopt
              : ReferencedCharacter(rest.substr(1, semicolon - 1));
      if (c) {
        AppendUtf8(*c, out);
        at += semicolon + 1;
      } else {
        out += '&';
        ++at;
      }
    }
  }
  return out;
}

}  // namespace feedline::host
