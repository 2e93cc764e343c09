#include "plugin/title_kind.h"

#include <algorithm>

namespace feedline {
namespace {

constexpr std::string_view kSpace = " \t\r\n";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [](char a, char b) { return Lower(a) == b; }) != text.end();
}

// The value of the attribute `name` in the start tag `tag` ("<title type='html'"), or empty:
// quoted, or unquoted up to white space.
std::string_view AttributeValue(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    if (kSpace.find(tag[at - 1]) == std::string_view::npos) continue;
    std::size_t next = tag.find_first_not_of(kSpace, at + name.size());
    if (next == std::string_view::npos || tag[next] != '=') continue;
    next = tag.find_first_not_of(kSpace, next + 1);
    if (next == std::string_view::npos) return {};
    if (tag[next] == '"' || tag[next] == '\'') {
      const std::size_t close = tag.find(tag[next], next + 1);
      return tag.substr(next + 1, close == std::string_view::npos ? close : close - next - 1);
    }
    return tag.substr(next, tag.find_first_of(kSpace, next) - next);
  }
  return {};
}

}  // namespace

std::string_view TitleKindName(TitleKind kind) {
  switch (kind) {
    case TitleKind::Html: return "html";
    case TitleKind::Text: return "text";
    case TitleKind::Xhtml: return "xhtml";
  }
  return "text";
}

std::optional<TitleKind> TitleKindNamed(std::string_view name) {
  for (const TitleKind kind : {TitleKind::Html, TitleKind::Text, TitleKind::Xhtml}) {
    if (name == TitleKindName(kind)) return kind;
  }
  return std::nullopt;
}

TitleKind KindOfTitle(std::string_view document, bool atom, std::string_view title) {
  if (!atom) return TitleKind::Html;
  if (title.empty() || title.data() <= document.data() ||
      title.data() > document.data() + document.size()) {
    return TitleKind::Text;
  }
  // The title's text starts right behind its start tag's '>'.
  const std::size_t contentStart = static_cast<std::size_t>(title.data() - document.data());
  const std::size_t tagStart = document.rfind('<', contentStart - 1);
  if (tagStart == std::string_view::npos) return TitleKind::Text;
  const std::string_view tag = document.substr(tagStart, contentStart - 1 - tagStart);
  const std::string_view type = AttributeValue(tag, "type");
  if (ContainsIgnoringCase(type, "xhtml")) return TitleKind::Xhtml;
  if (ContainsIgnoringCase(type, "html")) return TitleKind::Html;
  return TitleKind::Text;
}

}  // namespace feedline
