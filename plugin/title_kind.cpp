#include "plugin/title_kind.h"

#include <algorithm>

#include "plugin/entry_selection.h"

namespace feedline {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(),
                     [](char a, char b) { return Lower(a) == b; }) != text.end();
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
  const std::size_t nameEnd = tag.find_first_of(" \t\r\n/");
  bool typed = false;
  const std::string_view type = nameEnd == std::string_view::npos
                                    ? std::string_view{}
                                    : AttributeValue(tag.substr(nameEnd), "type", typed);
  if (ContainsIgnoringCase(type, "xhtml")) return TitleKind::Xhtml;
  if (ContainsIgnoringCase(type, "html")) return TitleKind::Html;
  return TitleKind::Text;
}

}  // namespace feedline
