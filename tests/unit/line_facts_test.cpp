// What the library tells hosts of its line beyond the bytes: the document's encoding (decided
// once per document) and the title's kind (once per position).
#include "plugin/line_facts.h"

#include <gtest/gtest.h>

#include <string>

#include "plugin/feed_walk.h"
#include "plugin/iconv_charsets_linux.h"

namespace feedline {
namespace {

struct EncodingCase {
  std::string name;
  std::string contentType;
  std::string document;
  std::string encoding;
  EncodingSource source;
  std::string ignored;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

const std::string kRss = "<rss><channel><item><title>x</title></item></channel></rss>";
std::string Declared(const std::string& declaration) { return declaration + kRss; }

class Encoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(Encoding, ComesFromTheFirstSourceThatApplies) {
  const EncodingCase& c = GetParam();
  const DocumentEncoding decided = DecideEncoding(c.contentType, c.document, &IconvKnows, &IsUtf8);
  EXPECT_EQ(decided.name, c.encoding);
  EXPECT_EQ(decided.source, c.source);
  EXPECT_EQ(decided.ignored, c.ignored);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Encoding,
    testing::Values(
        EncodingCase{"HttpCharsetWinsOverDeclaration", "application/rss+xml; charset=KOI8-R",
                     Declared("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"), "KOI8-R",
                     EncodingSource::HttpCharset, ""},
        EncodingCase{"QuotedCharsetAfterOtherParameters",
                     "text/xml;version=2; CharSet=\"windows-1251\"", kRss, "windows-1251",
                     EncodingSource::HttpCharset, ""},
        EncodingCase{"ContentTypeWithoutCharsetGivesWay", "application/rss+xml",
                     Declared("<?xml version=\"1.0\" encoding=\"ISO-8859-7\"?>"), "ISO-8859-7",
                     EncodingSource::XmlDeclaration, ""},
        EncodingCase{"ByteOrderMarkWinsOverDeclaration", "",
                     "\xEF\xBB\xBF" + Declared("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"),
                     "UTF-8", EncodingSource::ByteOrderMark, ""},
        EncodingCase{"DeclarationInSingleQuotesWithSpaces", "",
                     Declared("<?xml version='1.0' encoding = 'Shift_JIS' ?>"), "Shift_JIS",
                     EncodingSource::XmlDeclaration, ""},
        EncodingCase{"DeclarationWithoutEncoding", "",
                     Declared("<?xml version=\"1.0\" standalone=\"yes\"?>"), "UTF-8",
                     EncodingSource::ValidUtf8, ""},
        EncodingCase{"StylesheetIsNoDeclaration", "",
                     Declared("<?xml-stylesheet encoding=\"KOI8-R\"?>"), "UTF-8",
                     EncodingSource::ValidUtf8, ""},
        EncodingCase{"UndeclaredNotUtf8IsWindows1252", "", "<rss><title>Caf\xe9</title></rss>",
                     "windows-1252", EncodingSource::NotUtf8, ""},
        EncodingCase{"UnknownHttpCharsetFallsToDeclaration", "text/xml; charset=x-klingon",
                     Declared("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>"), "KOI8-R",
                     EncodingSource::XmlDeclaration, "x-klingon (HTTP charset)"},
        EncodingCase{"UnknownEverywhereFallsToTheBytes", "text/xml; charset=x-klingon",
                     Declared("<?xml version=\"1.0\" encoding=\"x-vulcan\"?>"), "UTF-8",
                     EncodingSource::ValidUtf8,
                     "x-klingon (HTTP charset); x-vulcan (XML declaration)"},
        EncodingCase{"OverlongNameIsNobodysEncoding", "text/xml; charset=" + std::string(100, 'u'),
                     kRss, "UTF-8", EncodingSource::ValidUtf8,
                     std::string(40, 'u') + " (HTTP charset)"}),
    [](const auto& info) { return info.param.name; });

struct KindCase {
  std::string name;
  std::string document;
  bool atom;
  TitleKind kind;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

std::string AtomWithTitle(const std::string& titleElement) {
  return "<feed><entry>" + titleElement + "<link href=\"http://x/\"/></entry></feed>";
}

class Kind : public testing::TestWithParam<KindCase> {};

TEST_P(Kind, ComesFromTheTitlesType) {
  const KindCase& c = GetParam();
  const FeedWalk walk = WalkTo(c.document, c.atom, 1);
  const ItemParts parts = PartsAt(c.document, c.atom, walk);
  ASSERT_FALSE(parts.title.empty());
  EXPECT_EQ(KindOfTitle(c.document, c.atom, parts.title), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, Kind,
    testing::Values(
        KindCase{"RssTitleIsHtml", "<rss><item><title>t</title></item></rss>", false,
                 TitleKind::Html},
        KindCase{"AtomTitleIsTextByDefault", AtomWithTitle("<title>t</title>"), true,
                 TitleKind::Text},
        KindCase{"AtomHtml", AtomWithTitle("<title type=\"html\">t</title>"), true,
                 TitleKind::Html},
        KindCase{"AtomXhtmlSingleQuotedAfterLang",
                 AtomWithTitle("<title xml:lang=\"en\" type='xhtml'>t</title>"), true,
                 TitleKind::Xhtml},
        KindCase{"AtomUnquotedHtml", AtomWithTitle("<title type=html>t</title>"), true,
                 TitleKind::Html},
        KindCase{"AtomExplicitText", AtomWithTitle("<title type=\"text\">t</title>"), true,
                 TitleKind::Text},
        KindCase{"Atom03MimeType", AtomWithTitle("<title type=\"text/html\" mode=\"escaped\">t</title>"),
                 true, TitleKind::Html},
        KindCase{"OtherAttributeNamedLikeType",
                 AtomWithTitle("<title subtype=\"html\">t</title>"), true, TitleKind::Text},
        // Attributes are read one by one: a "type=" inside another's value is that value.
        KindCase{"TypeInsideAnotherValue",
                 AtomWithTitle("<title alt=\"a type=html\">t</title>"), true, TitleKind::Text}),
    [](const auto& info) { return info.param.name; });

// Counts the whole-document checks, which must happen once per document, not once per ask.
int g_utf8Checks = 0;
bool CountingIsUtf8(std::string_view bytes) {
  ++g_utf8Checks;
  return IsUtf8(bytes);
}

TEST(LineFactsCache, EncodingOncePerDocumentKindOncePerPosition) {
  const std::string atom =
      "<?xml version=\"1.0\"?><feed><entry><title type=\"html\">a</title></entry>"
      "<entry><title>b</title></entry></feed>";
  FeedState state;
  LineFactsCache cache;
  EXPECT_EQ(cache.For(state, &IconvKnows, &CountingIsUtf8), nullptr);  // no document yet

  g_utf8Checks = 0;
  state.Cache.Replace(std::string(atom), "application/atom+xml; charset=ISO-8859-2");
  state.Walk = WalkTo(state.Cache.Text(), true, 1);
  const LineFacts* first = cache.For(state, &IconvKnows, &CountingIsUtf8);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->encoding.name, "ISO-8859-2");
  EXPECT_EQ(first->titleKind, TitleKind::Html);

  state.Walk = WalkOn(state.Cache.Text(), true, state.Walk);
  EXPECT_EQ(cache.For(state, &IconvKnows, &CountingIsUtf8)->titleKind, TitleKind::Text);
  cache.For(state, &IconvKnows, &CountingIsUtf8);
  EXPECT_EQ(g_utf8Checks, 0);  // the HTTP charset decided: no document check at all

  state.Cache.Replace(std::string(atom));  // a new download, without a charset
  state.Walk = WalkTo(state.Cache.Text(), true, 1);
  const LineFacts* second = cache.For(state, &IconvKnows, &CountingIsUtf8);
  cache.For(state, &IconvKnows, &CountingIsUtf8);
  EXPECT_EQ(second->encoding.name, "UTF-8");
  EXPECT_EQ(second->titleKind, TitleKind::Html);
  EXPECT_EQ(g_utf8Checks, 1);
}

}  // namespace
}  // namespace feedline
