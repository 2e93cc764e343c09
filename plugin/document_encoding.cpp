#include "plugin/document_encoding.h"

#include <algorithm>

namespace feedline {
namespace {

constexpr std::string_view kSpace = " \t\r\n";
// Registered names and their aliases are short; a longer one is nobody's encoding.
constexpr std::size_t kMaxEncodingName = 40;

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// A quoted value without its quotes; an unquoted one up to white space.
std::string_view Unquote(std::string_view value) {
  if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
    const std::size_t close = value.find(value.front(), 1);
    return close == std::string_view::npos ? std::string_view{} : value.substr(1, close - 1);
  }
  return value.substr(0, value.find_first_of(kSpace));
}

}  // namespace

std::string_view DescribeSource(EncodingSource source) {
  switch (source) {
    case EncodingSource::HttpCharset: return "HTTP charset";
    case EncodingSource::ByteOrderMark: return "byte order mark";
    case EncodingSource::XmlDeclaration: return "XML declaration";
    case EncodingSource::ValidUtf8: return "undeclared, valid UTF-8";
    case EncodingSource::NotUtf8: return "undeclared, not UTF-8";
  }
  return "";
}

std::string_view CharsetOfContentType(std::string_view contentType) {
  // Parameters follow the media type, each after a ';'.
  for (std::size_t semicolon = contentType.find(';'); semicolon != std::string_view::npos;) {
    const std::size_t next = contentType.find(';', semicolon + 1);
    const std::string_view parameter = contentType.substr(semicolon + 1, next - semicolon - 1);
    const std::size_t equals = parameter.find('=');
    if (equals != std::string_view::npos &&
        EqualsIgnoringCase(Trim(parameter.substr(0, equals)), "charset")) {
      return Trim(Unquote(Trim(parameter.substr(equals + 1))));
    }
    semicolon = next;
  }
  return {};
}

std::string_view ByteOrderMarkEncoding(std::string_view document) {
  if (document.starts_with("\xEF\xBB\xBF")) return "UTF-8";
  if (document.starts_with("\xFF\xFE")) return "UTF-16LE";
  if (document.starts_with("\xFE\xFF")) return "UTF-16BE";
  return {};
}

std::string_view XmlDeclarationEncoding(std::string_view document) {
  if (!document.starts_with("<?xml") || document.size() < 6 ||
      kSpace.find(document[5]) == std::string_view::npos) {
    return {};
  }
  const std::string_view declaration = document.substr(0, document.find("?>"));
  for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
       at = declaration.find("encoding", at + 1)) {
    // A pseudo-attribute: white space before the name, then optional white space around '='.
    if (kSpace.find(declaration[at - 1]) == std::string_view::npos) continue;
    const std::string_view rest = Trim(declaration.substr(at + 8));
    if (!rest.starts_with('=')) continue;
    return Unquote(Trim(rest.substr(1)));
  }
  return {};
}

DocumentEncoding DecideEncoding(std::string_view contentType, std::string_view document,
                                bool (*known)(std::string_view name),
                                bool (*validUtf8)(std::string_view bytes)) {
  DocumentEncoding decided;
  const std::pair<std::string_view, EncodingSource> declared[] = {
      {CharsetOfContentType(contentType), EncodingSource::HttpCharset},
      {ByteOrderMarkEncoding(document), EncodingSource::ByteOrderMark},
      {XmlDeclarationEncoding(document), EncodingSource::XmlDeclaration}};
  for (const auto& [name, source] : declared) {
    if (name.empty()) continue;
    if (name.size() <= kMaxEncodingName && known(name)) {
      decided.name = name;
      decided.source = source;
      return decided;
    }
    if (!decided.ignored.empty()) decided.ignored += "; ";
    decided.ignored.append(name.substr(0, kMaxEncodingName)).append(" (").append(DescribeSource(source)).append(")");
  }
  const bool utf8 = validUtf8(document);
  decided.name = utf8 ? "UTF-8" : "windows-1252";
  decided.source = utf8 ? EncodingSource::ValidUtf8 : EncodingSource::NotUtf8;
  return decided;
}

}  // namespace feedline
