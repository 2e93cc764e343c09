#pragma once

#include <string>
#include <string_view>

namespace feedline {

// Where a document's character encoding was read from, in the order the sources are tried.
enum class EncodingSource { HttpCharset, ByteOrderMark, XmlDeclaration, ValidUtf8, NotUtf8 };

// How a person is told the source: "HTTP charset", "byte order mark", "XML declaration",
// "undeclared, valid UTF-8", "undeclared, not UTF-8".
std::string_view DescribeSource(EncodingSource source);

struct DocumentEncoding {
  std::string name;  // as declared ("windows-1251", "KOI8-R"), or "UTF-8" / "windows-1252"
  EncodingSource source = EncodingSource::ValidUtf8;
  // Declared names the converter does not know, each with its source, "; " between them:
  // "x-klingon (HTTP charset)". Empty when every name tried was known.
  std::string ignored;
};

// The charset parameter of a Content-Type value ("text/xml; charset=\"KOI8-R\"" gives KOI8-R),
// or empty.
std::string_view CharsetOfContentType(std::string_view contentType);

// The encoding a byte order mark at the start names ("UTF-8", "UTF-16LE", "UTF-16BE"), or empty.
std::string_view ByteOrderMarkEncoding(std::string_view document);

// The encoding of the XML declaration the document starts with, or empty.
std::string_view XmlDeclarationEncoding(std::string_view document);

// The document's encoding, from the first source that applies: the HTTP charset (it wins, as
// for every XML media type), a byte order mark, the XML declaration, else UTF-8 when the whole
// document is valid UTF-8 and Windows-1252 when it is not. A declared name that `known` rejects
// is passed over for the next source, and listed in `ignored`.
DocumentEncoding DecideEncoding(std::string_view contentType, std::string_view document,
                                bool (*known)(std::string_view name),
                                bool (*validUtf8)(std::string_view bytes));

}  // namespace feedline
