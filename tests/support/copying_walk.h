#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The item walk as a naive reading writes it: every pass copies the remaining text. Quirks and
// all, it is the reference the single-pass selection is checked and measured against.
namespace feedline::reference {

inline std::string CopyingExtractBetween(const std::string& open, const std::string& close,
                                         const std::string& text) {
  const auto p = text.find(open);
  const auto start = p == std::string::npos ? open.size() - 1 : p + open.size();
  const std::string rest = start >= text.size() ? "" : text.substr(start);
  const auto q = rest.find(close);
  return q == std::string::npos ? "" : rest.substr(0, q);
}

inline std::string CopyingSelectItem(std::string text, long long k) {
  std::string line;
  for (long long i = 1; i <= k; ++i) {
    const std::string item = CopyingExtractBetween("<item>", "</item>", text);
    const std::string title = CopyingExtractBetween("<title>", "</title>", item);
    const std::string link = CopyingExtractBetween("<link>", "</link>", item);
    const auto p = text.find("</item>");
    const auto start = p == std::string::npos ? 6 : p + 7;
    text = start >= text.size() ? "" : text.substr(start);
    if (i == k) line = title + "%l" + link;
  }
  return line;
}

// The Atom reading as a naive reader writes it: cut the entry out, then the tag, then its
// attributes, each a copy.
inline bool IsTagNameEnd(const std::string& text, std::size_t at, const std::string& ends) {
  return at < text.size() && (std::string(" \t\r\n") + ends).find(text[at]) != std::string::npos;
}

inline std::size_t FindTag(const std::string& text, const std::string& name,
                           const std::string& ends, std::size_t from = 0) {
  for (std::size_t at = text.find(name, from); at != std::string::npos;
       at = text.find(name, at + 1)) {
    if (IsTagNameEnd(text, at + name.size(), ends)) return at;
  }
  return std::string::npos;
}

// The tag from `start` up to its first ">" outside quoted values, without that ">"; whole when
// unended. A value is quoted when a quote stands first after its "=".
inline std::string CopyTag(const std::string& text, std::size_t start, bool& ended) {
  std::string tag;
  char quote = 0;
  ended = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (quote == 0 && text[i] == '>') {
      ended = true;
      break;
    }
    if (quote != 0) {
      if (text[i] == quote) quote = 0;
    } else if (text[i] == '"' || text[i] == '\'') {
      // The last byte before this one that is not white space.
      std::size_t before = tag.find_last_not_of(" \t\r\n");
      if (before != std::string::npos && tag[before] == '=') quote = text[i];
    }
    tag += text[i];
  }
  return tag;
}

// name=value pairs of a tag's attribute text, in order.
inline std::vector<std::pair<std::string, std::string>> CopyAttributes(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> attributes;
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (space(text[i]) || text[i] == '/')) ++i;
    std::string name;
    while (i < text.size() && text[i] != '=' && !space(text[i]) && text[i] != '/') name += text[i++];
    while (i < text.size() && space(text[i])) ++i;
    std::string value;
    if (i < text.size() && text[i] == '=') {
      ++i;
      while (i < text.size() && space(text[i])) ++i;
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        while (i < text.size() && text[i] != quote) value += text[i++];
        if (i < text.size()) ++i;
      } else {
        while (i < text.size() && !space(text[i])) value += text[i++];
      }
    } else if (name.empty()) {
      ++i;
    }
    attributes.emplace_back(name, value);
  }
  return attributes;
}

inline std::string CopyingSelectEntry(const std::string& document, long long k) {
  if (k < 1) return "";
  std::size_t start = FindTag(document, "<entry", ">/");
  for (long long i = 1; i < k && start != std::string::npos; ++i) {
    start = FindTag(document, "<entry", ">/", start + 1);
  }
  if (start == std::string::npos) return "%l";
  std::string entry = document.substr(start);
  entry = entry.substr(0, entry.find("</entry>"));
  std::string title;
  const std::size_t titleAt = FindTag(entry, "<title", ">/");
  if (titleAt != std::string::npos) {
    bool ended = false;
    const std::string tag = CopyTag(entry, titleAt, ended);
    if (ended && tag.back() != '/') {
      const std::string rest = entry.substr(titleAt + tag.size() + 1);
      const std::size_t close = rest.find("</title>");
      if (close != std::string::npos) title = rest.substr(0, close);
    }
  }
  std::string link;
  for (std::size_t at = FindTag(entry, "<link", ">/"); at != std::string::npos;) {
    bool ended = false;
    const std::string tag = CopyTag(entry, at, ended);
    std::optional<std::string> rel, href;
    for (const auto& [name, value] : CopyAttributes(tag.substr(5))) {
      if (name == "rel" && !rel) rel = value;
      if (name == "href" && !href) href = value;
    }
    if (!rel || *rel == "alternate") {
      link = href.value_or("");
      break;
    }
    if (!ended) break;
    at = FindTag(entry, "<link", ">/", at + tag.size() + 1);
  }
  return title + "%l" + link;
}

}  // namespace feedline::reference
