#include "plugin/entry_selection.h"

#include "plugin/text_search.h"

namespace feedline {
namespace {

constexpr std::string_view kEntryOpen = "<entry";
constexpr std::string_view kEntryClose = "</entry>";
constexpr std::string_view kTitleOpen = "<title";
constexpr std::string_view kTitleClose = "</title>";
constexpr std::string_view kLinkOpen = "<link";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Where the first `name` tag begins at or after `from` whose name ends there (the next byte is
// one of `after`), or npos. Each byte is looked at a bounded number of times.
std::size_t NextTag(std::string_view text, std::string_view name, std::string_view after,
                    std::size_t from) {
  while (from < text.size()) {
    const std::size_t hit = FindBytes(text.substr(from), name);
    if (hit == std::string_view::npos) return std::string_view::npos;
    const std::size_t at = from + hit;
    const std::size_t next = at + name.size();
    if (next < text.size() && (IsSpace(text[next]) || after.find(text[next]) != std::string_view::npos)) {
      return at;
    }
    from = at + 1;
  }
  return std::string_view::npos;
}

// The end of the start tag that begins at `start`: its first ">" outside a quoted value, or npos.
// A quote opens a value only right after "=" (white space between allowed): inside an unquoted
// value (href=2") it is a byte of the value, and the value runs to white space or ">".
std::size_t TagEnd(std::string_view text, std::size_t start) {
  char quote = 0;
  bool afterEquals = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if ((c == '"' || c == '\'') && afterEquals) {
      quote = c;
    } else if (c == '>') {
      return i;
    }
    if (quote == 0 && !IsSpace(c)) afterEquals = c == '=';
  }
  return std::string_view::npos;
}

std::string_view EntryTitle(std::string_view entry) {
  const std::size_t open = NextTag(entry, kTitleOpen, ">/", 0);
  if (open == std::string_view::npos) return {};
  const std::size_t end = TagEnd(entry, open);
  if (end == std::string_view::npos || entry[end - 1] == '/') return {};  // unended or <title/>
  const std::string_view rest = entry.substr(end + 1);
  const std::size_t close = FindBytes(rest, kTitleClose);
  return close == std::string_view::npos ? std::string_view{} : rest.substr(0, close);
}

std::string_view EntryLink(std::string_view entry) {
  for (std::size_t open = NextTag(entry, kLinkOpen, ">/", 0); open != std::string_view::npos;) {
    const std::size_t end = TagEnd(entry, open);
    const std::size_t stop = end == std::string_view::npos ? entry.size() : end;
    const std::string_view attributes =
        entry.substr(open + kLinkOpen.size(), stop - open - kLinkOpen.size());
    bool hasRel = false, hasHref = false;
    const std::string_view rel = AttributeValue(attributes, "rel", hasRel);
    if (!hasRel || rel == "alternate") {
      const std::string_view href = AttributeValue(attributes, "href", hasHref);
      return hasHref ? href : std::string_view{};
    }
    if (end == std::string_view::npos) return {};
    open = NextTag(entry, kLinkOpen, ">/", end);
  }
  return {};
}

}  // namespace

std::string_view AttributeValue(std::string_view attributes, std::string_view name, bool& found) {
  found = false;
  std::size_t i = 0;
  while (i < attributes.size()) {
    while (i < attributes.size() && (IsSpace(attributes[i]) || attributes[i] == '/')) ++i;
    const std::size_t nameStart = i;
    while (i < attributes.size() && attributes[i] != '=' && !IsSpace(attributes[i]) &&
           attributes[i] != '/') {
      ++i;
    }
    const std::string_view attribute = attributes.substr(nameStart, i - nameStart);
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    std::string_view value;
    if (i < attributes.size() && attributes[i] == '=') {
      ++i;
      while (i < attributes.size() && IsSpace(attributes[i])) ++i;
      if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
        const char quote = attributes[i++];
        const std::size_t end = attributes.find(quote, i);
        const std::size_t stop = end == std::string_view::npos ? attributes.size() : end;
        value = attributes.substr(i, stop - i);
        i = stop == attributes.size() ? stop : stop + 1;
      } else {
        const std::size_t valueStart = i;
        while (i < attributes.size() && !IsSpace(attributes[i])) ++i;
        value = attributes.substr(valueStart, i - valueStart);
      }
    }
    if (attribute == name) {
      found = true;
      return value;
    }
    if (attribute.empty() && i == nameStart) ++i;  // a stray byte: step over it
  }
  return {};
}

bool IsAtomDocument(std::string_view document) {
  return FindBytes(document, "<item>") == std::string_view::npos &&
         FindBytes(document, "</item>") == std::string_view::npos &&
         NextEntryStart(document, 0) != std::string_view::npos;
}

std::size_t NextEntryStart(std::string_view document, std::size_t from) {
  return NextTag(document, kEntryOpen, ">/", from);
}

ItemParts EntryPartsAt(std::string_view document, std::size_t start) {
  if (start >= document.size()) return {};
  const std::string_view rest = document.substr(start);
  const std::size_t close = FindBytes(rest, kEntryClose);
  const std::string_view entry = close == std::string_view::npos ? rest : rest.substr(0, close);
  return {EntryTitle(entry), EntryLink(entry)};
}

std::size_t NthEntryStart(std::string_view document, std::int32_t k) {
  std::size_t start = NextEntryStart(document, 0);
  for (std::int32_t i = 1; i < k && start != std::string_view::npos; ++i) {
    start = NextEntryStart(document, start + 1);
  }
  return start;
}

ItemParts SelectEntryParts(std::string_view document, std::int32_t k) {
  if (k < 1) return {};
  const std::size_t start = NthEntryStart(document, k);
  return start == std::string_view::npos ? ItemParts{} : EntryPartsAt(document, start);
}

std::uint64_t CountEntries(std::string_view document) {
  std::uint64_t entries = 0;
  for (std::size_t at = NextEntryStart(document, 0); at != std::string_view::npos;
       at = NextEntryStart(document, at + 1)) {
    ++entries;
  }
  return entries;
}

}  // namespace feedline
