#pragma once

#include <string>
#include <string_view>

namespace feedline::host {

// The text of an element's XML content (`utf8`, as the library returns a title or link):
// CDATA sections give their content literally, comments are dropped, character references and
// the five predefined entity references are decoded. Other references (an HTML entity, say) and
// a '&' that starts none stay as they are. Tags of child elements are kept as they stand when
// `keepTags` is set (the text is read as HTML next) and dropped otherwise, leaving their text.
std::string XmlText(std::string_view utf8, bool keepTags);

}  // namespace feedline::host
