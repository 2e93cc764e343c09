#include "host/html_text.h"

#include <libxml/HTMLparser.h>

namespace feedline::host {
namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";

// What a parse keeps: the text outside script and style elements.
struct TextCollector {
  std::string* text;
  int skipped = 0;  // depth inside script or style
};

bool IsSkippedElement(const xmlChar* name) {
  return xmlStrcasecmp(name, BAD_CAST "script") == 0 || xmlStrcasecmp(name, BAD_CAST "style") == 0;
}

void OnStartElement(void* context, const xmlChar* name, const xmlChar**) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (IsSkippedElement(name)) ++collector.skipped;
  // A line break stands between the texts around a <br>.
  if (xmlStrcasecmp(name, BAD_CAST "br") == 0) *collector.text += ' ';
}

void OnEndElement(void* context, const xmlChar* name) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (IsSkippedElement(name) && collector.skipped > 0) --collector.skipped;
}

void OnCharacters(void* context, const xmlChar* characters, int length) {
  auto& collector = *static_cast<TextCollector*>(context);
  if (collector.skipped == 0) {
    collector.text->append(reinterpret_cast<const char*>(characters),
                           static_cast<std::size_t>(length));
  }
}

// One parser for all the segments of a text: a streaming read (callbacks, no document tree)
// that reuses its context from segment to segment.
class HtmlReader {
 public:
  HtmlReader() : parser_(htmlNewParserCtxt()) {
    handler_.startElement = &OnStartElement;
    handler_.endElement = &OnEndElement;
    handler_.characters = &OnCharacters;
    handler_.ignorableWhitespace = &OnCharacters;
  }
  ~HtmlReader() {
    if (parser_ != nullptr) htmlFreeParserCtxt(parser_);
  }
  HtmlReader(const HtmlReader&) = delete;
  HtmlReader& operator=(const HtmlReader&) = delete;

  bool Ready() const { return parser_ != nullptr; }

  // Appends the text of one markup segment to `out`.
  void AppendText(std::string_view markup, std::string& out) {
    if (markup.find_first_of("<&") == std::string_view::npos) {
      out.append(markup);
      return;
    }
    // Inside a paragraph of a body, as in a page: a stray end tag or a doctype before the text
    // then drops nothing after it.
    const std::string document = "<html><body><p>" + std::string(markup) + "</p></body></html>";
    TextCollector collector{&out};
    htmlSAXHandlerPtr own = parser_->sax;
    parser_->sax = &handler_;
    parser_->userData = &collector;
    htmlCtxtReadMemory(parser_, document.data(), static_cast<int>(document.size()), nullptr,
                       "UTF-8",
                       HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                           HTML_PARSE_IGNORE_ENC | HTML_PARSE_NOIMPLIED);
    parser_->sax = own;
    parser_->userData = nullptr;
  }

 private:
  htmlParserCtxtPtr parser_;
  htmlSAXHandler handler_{};
};

}  // namespace

std::optional<std::string> HtmlText(std::string_view utf8) {
  if (utf8.find_first_of("<&") == std::string_view::npos) return std::string(utf8);
  std::string text;
  HtmlReader reader;
  if (!reader.Ready()) return std::nullopt;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t open = utf8.find(kCdataOpen, at);
    reader.AppendText(utf8.substr(at, open - at), text);
    if (open == std::string_view::npos) break;
    const std::size_t start = open + kCdataOpen.size();
    const std::size_t close = utf8.find(kCdataClose, start);
    text.append(utf8.substr(start, close - start));  // literal: no markup, no references
    at = close == std::string_view::npos ? utf8.size() : close + kCdataClose.size();
  }
  return text;
}

std::optional<std::string> HtmlBodyText(std::string_view utf8) {
  if (utf8.find_first_of("<&") == std::string_view::npos) return std::string(utf8);
  HtmlReader reader;
  if (!reader.Ready()) return std::nullopt;
  std::string text;
  reader.AppendText(utf8, text);
  return text;
}

}  // namespace feedline::host
