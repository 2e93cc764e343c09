#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "plugin/title_kind.h"

namespace feedline::host {

// Only the first 32 KiB of a title or link are read: no bar shows more, and a title of many
// megabytes must cost no more to show than a short one.
inline constexpr std::size_t kMaxFeedBytes = 32 * 1024;
// Without --max-width a title is cut at this many columns.
inline constexpr int kMaxTitleColumns = 1000;
// A grapheme cluster (a character with its combining marks) keeps at most this many bytes:
// enough for every emoji sequence Unicode recommends (the longest take 41 bytes).
inline constexpr std::size_t kMaxClusterBytes = 64;

// A title or link as the library returns it (the feed's bytes), turned into text fit to show:
// its first kMaxFeedBytes read; bytes that are not UTF-8 read as Windows-1252; CDATA markers
// removed with their content kept as it is, elsewhere HTML tags removed and character
// references decoded (see HtmlText); control and bidirectional formatting characters removed
// (tag characters too, but in an emoji tag sequence); white space collapsed to single spaces
// and trimmed. The result is valid UTF-8. Should the system lack the converter or the HTML
// parser, the text is kept (bytes that are not UTF-8 as "\xNN", markup as it is) and `problem`
// says why.
std::string DisplayText(std::string_view feedBytes, std::string* problem = nullptr);

// What the plug-in knows of a line that its bytes cannot say (see FeedlineLineFacts).
struct TextFacts {
  std::string encoding;  // the document's, a name iconv knows
  TitleKind titleKind = TitleKind::Html;
};

// A title or link read as a feed reader reads it, given the facts of its document: its first
// kMaxFeedBytes decoded from `facts.encoding` (an invalid byte becoming U+FFFD); then its XML
// text (CDATA literal, references decoded, see XmlText); an HTML title's result read as HTML
// text (tags, script and style dropped, references decoded, see HtmlBodyText), a text title's
// shown literally and an XHTML title's inline markup dropped; a link's XML text taken as it is;
// then the same character rules as above. Should iconv not know the encoding, the text is read
// as DisplayText above reads it and `problem` says why.
std::string DisplayText(std::string_view feedBytes, const TextFacts& facts, bool isLink,
                        std::string* problem = nullptr);

// What a cut title ends in unless --ellipsis says otherwise.
inline constexpr char kEllipsis[] = "…";

// The terminal columns of `text` (valid UTF-8): wide characters count two, combining marks none.
int ColumnsOf(std::string_view text);

// `text` (valid UTF-8) cut to at most `columns` terminal columns, wide characters counting two
// and combining marks none, between grapheme clusters only, ending in `ellipsis` when cut (the
// ending counts in the width); a cluster longer than kMaxClusterBytes keeps its first code
// points.
std::string FitToColumns(std::string_view text, int columns,
                         std::string_view ellipsis = kEllipsis);

// The item a line of the library shows, as display text.
struct ShownItem {
  std::string label;  // the feed's label as display text; empty without one
  std::string title;  // with a label, "LABEL · title"
  std::string link;
  std::string problem;  // why the text is shown less clean than usual; empty when it is not
  bool Empty() const { return title.empty() && link.empty(); }
};

// Splits a line (title + "%l" + link) at its last "%l": a valid link cannot contain "%l" ("%"
// must be followed by two hex digits), so a title that does cannot choose the link. The title
// is cut to `maxWidth` columns when that is above 0, to kMaxTitleColumns otherwise, ending in
// `ellipsis` when cut.
// With `facts`, title and link are read with them; without, as DisplayText reads bytes alone.
// A `label` (the user's text, shown literally but for control and formatting characters and
// white space runs) stands before the title of an item that is not empty, joined by " · " and
// counted in the width.
ShownItem ToShownItem(std::string_view line, int maxWidth, std::string_view ellipsis = kEllipsis,
                      const TextFacts* facts = nullptr, std::string_view label = {});

// What stands between a feed's label and its title.
inline constexpr char kLabelSeparator[] = " · ";

}  // namespace feedline::host
