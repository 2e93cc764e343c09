// Titles read as a feed reader reads them, from the facts the plug-in gives: the document's
// declared encoding (from the HTTP charset or the XML declaration) and the title's kind.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "host/display_text.h"
#include "plugin/document_encoding.h"
#include "plugin/iconv_charsets_linux.h"
#include "plugin/item_selection.h"

namespace feedline::host {
namespace {

// `utf8` in `encoding`, as a site publishing in it writes it.
std::string Encode(const std::string& utf8, const std::string& encoding) {
  iconv_t converter = iconv_open(encoding.c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "iconv cannot write " + encoding;
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* at = out.data();
  size_t outLeft = out.size();
  const size_t result = iconv(converter, &in, &inLeft, &at, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return "cannot write the title in " + encoding;
  out.resize(out.size() - outLeft);
  return out;
}

struct EncodedTitle {
  std::string encoding;
  std::string title;  // UTF-8
};

// Each legacy encoding feeds are still published in, with a title in a script it writes.
const EncodedTitle kEncodedTitles[] = {
    {"windows-1251", "Президент подписал закон"},
    {"KOI8-R", "Новости ядра Linux"},
    {"Shift_JIS", "日本語のニュース"},
    {"EUC-JP", "東京で新しい駅"},
    {"GBK", "中文新闻标题"},
    {"GB2312", "今日新闻"},
    {"Big5", "中文新聞標題"},
    {"EUC-KR", "한국어 뉴스"},
    {"ISO-8859-2", "Zażółć gęślą jaźń"},
    {"ISO-8859-7", "Ελληνικά νέα"},
    {"ISO-8859-15", "Prix 5 € pour l'œuvre de Šárka"},
};

enum class Declared { InXmlDeclaration, InHttpCharset };

class DeclaredEncoding
    : public testing::TestWithParam<std::tuple<EncodedTitle, Declared>> {};

// The whole path: the document as the site sends it, the encoding decided as the plug-in
// decides it, the title cut as the plug-in cuts it, and read by the host.
TEST_P(DeclaredEncoding, TitleReadsRight) {
  const auto& [sample, where] = GetParam();
  const bool http = where == Declared::InHttpCharset;
  const std::string document =
      "<?xml version=\"1.0\"" +
      (http ? std::string() : " encoding=\"" + sample.encoding + "\"") + "?>\n<rss><channel>"
      "<item><title>" + Encode(sample.title, sample.encoding) +
      "</title><link>https://news.example/1</link></item></channel></rss>";
  const std::string contentType =
      http ? "application/rss+xml; charset=" + sample.encoding : "application/rss+xml";
  const DocumentEncoding decided = DecideEncoding(contentType, document, &IconvKnows, &IsUtf8);
  EXPECT_EQ(decided.name, sample.encoding);
  const TextFacts facts{decided.name, TitleKind::Html};
  EXPECT_EQ(DisplayText(SelectItemParts(document, 1).title, facts, false), sample.title);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DeclaredEncoding,
    testing::Combine(testing::ValuesIn(kEncodedTitles),
                     testing::Values(Declared::InXmlDeclaration, Declared::InHttpCharset)),
    [](const auto& info) {
      std::string name = std::get<0>(info.param).encoding;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name + (std::get<1>(info.param) == Declared::InHttpCharset ? "_Http" : "_Xml");
    });

struct FactsCase {
  std::string name;
  std::string feedBytes;
  std::string encoding;
  TitleKind kind;
  std::string display;
};

void PrintTo(const FactsCase& c, std::ostream* os) { *os << c.name; }

class ReadWithFacts : public testing::TestWithParam<FactsCase> {};

TEST_P(ReadWithFacts, ShowsWhatAFeedReaderShows) {
  const FactsCase& c = GetParam();
  std::string problem;
  EXPECT_EQ(DisplayText(c.feedBytes, TextFacts{c.encoding, c.kind}, false, &problem), c.display);
  EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(
    Titles, ReadWithFacts,
    testing::Values(
        // An invalid byte is one replacement character; the rest keeps its reading.
        FactsCase{"StrayByteInUtf8", "Caf\u00e9 \u2013 na\u00efve \x81", "UTF-8",
                  TitleKind::Html, "Caf\u00e9 \u2013 na\u00efve \uFFFD"},
        FactsCase{"StrayByteInShiftJis", Encode("日本", "Shift_JIS") + "\x80" + "x", "Shift_JIS",
                  TitleKind::Html, "日本\uFFFDx"},
        // HTML titles: the XML text first, then read as HTML.
        FactsCase{"WordPressHtmlTitleInCdata",
                  "<![CDATA[It&#8217;s &#8220;here&#8221; &amp; now]]>", "UTF-8",
                  TitleKind::Html, "It\u2019s \u201chere\u201d & now"},
        FactsCase{"DoublyEscapedAmpersand", "Tom &amp;amp; Jerry", "UTF-8", TitleKind::Html,
                  "Tom & Jerry"},
        FactsCase{"EscapedTagsDropped", "&lt;b&gt;big&lt;/b&gt; news", "UTF-8", TitleKind::Html,
                  "big news"},
        FactsCase{"EscapedHtmlEntityDecoded", "Caf&amp;eacute;", "UTF-8", TitleKind::Html,
                  "Caf\u00e9"},
        FactsCase{"EscapedScriptDropped", "&lt;script&gt;alert(1)&lt;/script&gt;Safe", "UTF-8",
                  TitleKind::Html, "Safe"},
        FactsCase{"RssWithoutMarkupAsBefore", "a &lt; b", "UTF-8", TitleKind::Html, "a < b"},
        FactsCase{"HtmlWhiteSpaceCollapsed", "&lt;p&gt;one&lt;/p&gt;\n\n  two", "UTF-8",
                  TitleKind::Html, "one two"},
        // Text titles show their decoded text literally.
        FactsCase{"AtomTextShowsTagsAsText", "Using the &lt;details&gt; element", "UTF-8",
                  TitleKind::Text, "Using the <details> element"},
        FactsCase{"AtomTextCdataLiteral", "<![CDATA[a <b> &amp; c]]>", "UTF-8", TitleKind::Text,
                  "a <b> &amp; c"},
        FactsCase{"AtomTextKeepsUndefinedEntity", "Caf&eacute;", "UTF-8", TitleKind::Text,
                  "Caf&eacute;"},
        // XHTML titles show the text of their inline markup.
        FactsCase{"AtomXhtml",
                  "<div xmlns=\"http://www.w3.org/1999/xhtml\">Some <b>bold</b> &amp; "
                  "<i>more</i></div>",
                  "UTF-8", TitleKind::Xhtml, "Some bold & more"},
        FactsCase{"CommentDropped", "a<!-- hidden -->b", "UTF-8", TitleKind::Text, "ab"},
        FactsCase{"ForbiddenCharacterReferenceKept", "a&#0;b&#xD800;c", "UTF-8", TitleKind::Text,
                  "a&#0;b&#xD800;c"},
        FactsCase{"EscapedControlStillRemoved", "a&#27;[2Jb", "UTF-8", TitleKind::Html, "a[2Jb"}),
    [](const auto& info) { return info.param.name; });

TEST(ReadWithFacts, LinkIsItsXmlText) {
  EXPECT_EQ(DisplayText("https://x.example/?a=1&amp;b=2", TextFacts{"UTF-8", TitleKind::Html},
                        true),
            "https://x.example/?a=1&b=2");
}

// A name the plug-in's iconv knew but this one does not: read from the bytes alone, said once.
TEST(ReadWithFacts, UnknownEncodingFallsBackToTheBytes) {
  std::string problem;
  EXPECT_EQ(DisplayText("Caf\xe9", TextFacts{"x-klingon", TitleKind::Html}, false, &problem),
            "Caf\u00e9");
  EXPECT_NE(problem.find("x-klingon"), std::string::npos) << problem;
}

// Without facts (a plug-in of another build) a line reads as it always did.
TEST(ReadWithFacts, ShownItemWithoutFactsAsBefore) {
  const std::string line = "&lt;b&gt;big&lt;/b&gt;%lhttps://x.example/";
  EXPECT_EQ(ToShownItem(line, 0).title, "<b>big</b>");
  const TextFacts facts{"UTF-8", TitleKind::Html};
  EXPECT_EQ(ToShownItem(line, 0, kEllipsis, &facts).title, "big");
}

}  // namespace
}  // namespace feedline::host
