#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace feedline::host {

// The text of `utf8` (a title or link) read as HTML. CDATA sections keep their content as it
// is, whatever surrounds them; the markup between them is read one segment at a time as the
// body of an HTML document of its own: tags dropped, character references decoded, script and
// style skipped, ill-formed markup kept as the browsers' reading keeps it, and whatever encoding
// the markup declares ignored (the text is UTF-8 already). Nothing when no HTML parser can be
// made.
std::optional<std::string> HtmlText(std::string_view utf8);

// The text of `utf8` read whole as the body of an HTML document, as above but with no CDATA
// section of its own (what XmlText made of a title holds none). Nothing when no HTML parser can
// be made.
std::optional<std::string> HtmlBodyText(std::string_view utf8);

}  // namespace feedline::host
