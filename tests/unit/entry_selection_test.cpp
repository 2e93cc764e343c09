#include "plugin/entry_selection.h"

#include <gtest/gtest.h>

#include <string>

namespace feedline {
namespace {

// A code host's release feed: feed-level links first, then entries with rel="alternate".
const std::string kReleases =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:lang=\"en-US\">\n"
    "  <id>tag:code.example,2008:/tool/releases</id>\n"
    "  <link type=\"text/html\" rel=\"alternate\" href=\"https://code.example/tool/releases\"/>\n"
    "  <link type=\"application/atom+xml\" rel=\"self\" href=\"https://code.example/tool.atom\"/>\n"
    "  <title>Release notes from tool</title>\n"
    "  <entry>\n    <id>tag:1</id>\n"
    "    <link rel=\"alternate\" type=\"text/html\" href=\"https://code.example/tool/v2.1\"/>\n"
    "    <title>v2.1</title>\n  </entry>\n"
    "  <entry>\n    <link rel=\"alternate\" href=\"https://code.example/tool/v2.0\"/>\n"
    "    <title>v2.0 &amp; fixes</title>\n  </entry>\n</feed>\n";

// A video channel's feed: the namespaced media:title inside media:group is not the title.
const std::string kVideos =
    "<feed xmlns:media=\"http://search.yahoo.com/mrss/\" xmlns=\"http://www.w3.org/2005/Atom\">"
    "<title>Channel</title><entry><media:group><media:title>Not this</media:title></media:group>"
    "<title>Episode 12</title><link rel=\"alternate\" href=\"https://video.example/watch?v=12\"/>"
    "</entry></feed>";

struct EntryCase {
  std::string name;
  std::string document;
  std::int32_t k;
  std::string title;
  std::string link;
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }

class Entries : public testing::TestWithParam<EntryCase> {};

TEST_P(Entries, TitleAndLinkAsTheRuleReadsThem) {
  const EntryCase& c = GetParam();
  ASSERT_TRUE(IsAtomDocument(c.document));
  const ItemParts parts = SelectEntryParts(c.document, c.k);
  EXPECT_EQ(parts.title, c.title);
  EXPECT_EQ(parts.link, c.link);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, Entries,
    testing::Values(
        EntryCase{"ReleaseFeedFirst", kReleases, 1, "v2.1", "https://code.example/tool/v2.1"},
        EntryCase{"ReleaseFeedSecondKeepsEntities", kReleases, 2, "v2.0 &amp; fixes",
                  "https://code.example/tool/v2.0"},
        EntryCase{"PastLastEntry", kReleases, 3, "", ""},
        EntryCase{"MediaTitleNotTaken", kVideos, 1, "Episode 12",
                  "https://video.example/watch?v=12"},
        EntryCase{"SelfLinkSkippedForAlternate",
                  "<entry><title>t</title><link rel=\"self\" href=\"https://self\"/>"
                  "<link rel=\"alternate\" href=\"https://alt\"/></entry>",
                  1, "t", "https://alt"},
        EntryCase{"LinkWithoutRelInSingleQuotes",
                  "<entry><link rel='edit' href='https://edit'/><link href='https://plain'/>"
                  "<title>t</title></entry>",
                  1, "t", "https://plain"},
        EntryCase{"UnquotedHref", "<entry><link href=https://bare rel=alternate></entry>", 1, "",
                  "https://bare"},
        // A quote inside an unquoted value is one of its bytes; the value runs to ">".
        EntryCase{"QuoteInsideUnquotedHref", "<entry><link href=2\"><title>t</title></entry>", 1,
                  "t", "2\""},
        EntryCase{"EnclosureOnlyGivesEmptyLink",
                  "<entry><title>Podcast</title><link rel=\"enclosure\" href=\"https://a.mp3\"/>"
                  "</entry>",
                  1, "Podcast", ""},
        EntryCase{"HtmlTitleKeepsEscapedMarkup",
                  "<entry><title type=\"html\">&lt;b&gt;Bold&lt;/b&gt; news</title></entry>", 1,
                  "&lt;b&gt;Bold&lt;/b&gt; news", ""},
        EntryCase{"SelfClosingTitleIsEmpty", "<entry><title/><link href=\"h\"/></entry>", 1, "",
                  "h"},
        EntryCase{"UnclosedTitleIsEmpty", "<entry><title>never closed<link href=\"h\"/>", 1, "",
                  "h"},
        EntryCase{"GreaterThanInsideQuotedValue",
                  "<entry><link title=\"a>b\" href=\"https://q\"/></entry>", 1, "", "https://q"},
        EntryCase{"EntryRunsToTheEndWithoutClose", "<entry><title>a</title><link href=\"x\"/>", 1,
                  "a", "x"},
        EntryCase{"LinkAfterEntryCloseNotTaken",
                  "<entry><title>a</title></entry><link href=\"outside\"/><entry></entry>", 1,
                  "a", ""},
        EntryCase{"EntryWithAttributes", "<entry xml:lang=\"en\"><title>a</title></entry>", 1,
                  "a", ""}),
    [](const testing::TestParamInfo<EntryCase>& info) { return info.param.name; });

TEST(IsAtomDocument, OnlyWhereTheItemWalkFindsNothing) {
  const struct {
    const char* document;
    bool atom;
  } cases[] = {
      {"<feed><entry><title>a</title></entry></feed>", true},
      {"<feed><entry/></feed>", true},
      {"<feed><entries>x</entries></feed>", false},  // no entry start tag
      // An RSS feed carrying atom:link stays RSS.
      {"<rss xmlns:atom=\"http://www.w3.org/2005/Atom\"><channel><atom:link rel=\"self\"/>"
       "<item><title>a</title></item></channel></rss>",
       false},
      // RSS 1.0: item tags with attributes, but "</item>" is there: the item walk reads it.
      {"<rdf:RDF><item rdf:about=\"x\"><title>a</title></item><entry>x</entry></rdf:RDF>", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAtomDocument(c.document), c.atom) << c.document;
}

// Megabytes of entry start tags without an end cost one pass, not one per entry.
TEST(SelectEntryParts, HostileDocumentEndsAtEmptyParts) {
  std::string opens;
  for (int i = 0; i < 200000; ++i) opens += "<entry>";
  EXPECT_EQ(CountEntries(opens), 200000u);
  const ItemParts last = SelectEntryParts(opens, 200000);
  EXPECT_TRUE(last.title.empty() && last.link.empty());
  const ItemParts past = SelectEntryParts(opens, INT32_MAX);
  EXPECT_TRUE(past.title.empty() && past.link.empty());
}

}  // namespace
}  // namespace feedline
