#pragma once

#include <string>
#include <string_view>

namespace feedline::host {

// A title or link as the library returns it (the feed's bytes), turned into text fit to show:
// CDATA markers removed with their content kept as it is; elsewhere HTML tags removed and
// character references decoded; bytes that are not UTF-8 read as Windows-1252; control and
// bidirectional formatting characters removed; white space collapsed to single spaces and
// trimmed. The result is valid UTF-8.
std::string DisplayText(std::string_view feedBytes);

// `text` (valid UTF-8) cut to at most `columns` terminal columns, wide characters counting two
// and combining marks none, between grapheme clusters only, ending in "…" when cut.
std::string FitToColumns(std::string_view text, int columns);

// The item a line of the library shows, as display text.
struct ShownItem {
  std::string title;
  std::string link;
  bool Empty() const { return title.empty() && link.empty(); }
};

// Splits a line (title + "%l" + link) at its last "%l": a valid link cannot contain "%l" ("%"
// must be followed by two hex digits), so a title that does cannot choose the link. The title
// is cut to `maxWidth` columns when that is above 0.
ShownItem ToShownItem(std::string_view line, int maxWidth);

}  // namespace feedline::host
