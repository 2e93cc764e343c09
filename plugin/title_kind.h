#pragma once

#include <optional>
#include <string_view>

namespace feedline {

// How a title's text is meant to be read: RSS titles and Atom type="html" titles are HTML,
// Atom titles are plain text by default, and Atom type="xhtml" titles hold inline XHTML.
enum class TitleKind { Html, Text, Xhtml };

// "html", "text" or "xhtml".
std::string_view TitleKindName(TitleKind kind);

// The kind TitleKindName names; nothing for any other text.
std::optional<TitleKind> TitleKindNamed(std::string_view name);

// The kind of `title`, a view into `document` as the item or entry walk cut it. An Atom title's
// kind is its start tag's type attribute: "html", "xhtml" or "text", as well as the MIME types
// of Atom 0.3 ("text/html", "application/xhtml+xml", "text/plain"); anything else is text.
TitleKind KindOfTitle(std::string_view document, bool atom, std::string_view title);

}  // namespace feedline
