// Feed bytes turned into display text, and display text cut to a width.
#include <gtest/gtest.h>

#include "host/display_text.h"

namespace feedline::host {
namespace {

struct TextCase {
  std::string name;
  std::string feedBytes;
  std::string display;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class Display : public testing::TestWithParam<TextCase> {};

TEST_P(Display, MakesCleanText) { EXPECT_EQ(DisplayText(GetParam().feedBytes), GetParam().display); }

INSTANTIATE_TEST_SUITE_P(
    Texts, Display,
    testing::Values(
        TextCase{"PlainStaysAsItIs", "Harbour bridge reopens", "Harbour bridge reopens"},
        TextCase{"CdataMarkersGoContentStaysLiteral", "<![CDATA[Tools <you> &amp; me]]>",
                 "Tools <you> &amp; me"},
        TextCase{"TextAroundCdataIsDecoded", "a &amp; <![CDATA[<b>]]> &lt;c&gt;", "a & <b> <c>"},
        TextCase{"UnclosedCdataRunsToTheEnd", "x <![CDATA[<y>", "x <y>"},
        TextCase{"TagsRemoved", "<b>Bold</b> move", "Bold move"},
        TextCase{"ScriptContentDropped", "a<script>alert(1)</script>b", "ab"},
        TextCase{"EscapedTagIsText", "&lt;b&gt;not bold&lt;/b&gt;", "<b>not bold</b>"},
        TextCase{"XmlEntities", "&quot;A&apos;s&quot; &amp; &lt;&gt;", "\"A's\" & <>"},
        TextCase{"NumericReferences", "It&#8217;s &#x2014; ok", "It\u2019s \u2014 ok"},
        TextCase{"HtmlNamedReferences", "Caf&eacute; &rsquo;n&rsquo; more&hellip;",
                 "Caf\u00e9 \u2019n\u2019 more\u2026"},
        TextCase{"NbspIsWhiteSpace", "a&nbsp;&nbsp; b", "a b"},
        TextCase{"LoneAmpersandAndLessThan", "AT&T < 5", "AT&T < 5"},
        TextCase{"Windows1252WhenNotUtf8", "Caf\xe9 \x93quoted\x94 \x80 5",
                 "Caf\u00e9 \u201cquoted\u201d \u20ac 5"},
        TextCase{"ByteUndefinedIn1252", "a\x81z", "a\uFFFDz"},
        TextCase{"Utf8KeptAsUtf8", "Caf\u00e9 \u4e16\u754c", "Caf\u00e9 \u4e16\u754c"},
        TextCase{"ControlCharactersRemoved", "red\x1b[31mtext\x07\x7f!", "red[31mtext!"},
        TextCase{"C1Removed", "a\u0085b\u009bc", "abc"},
        TextCase{"EscapedControlCharacterRemoved", "a&#27;[2Jb", "a[2Jb"},
        TextCase{"BidiOverridesAndIsolatesRemoved",
                 "a\u202egnp.exe\u202c b\u2066c\u2069", "agnp.exe bc"},
        TextCase{"MarksAndOtherFormatCharactersRemoved",
                 "a\u200eb\u200fc\u061cd\ufeffe\u200bf\U000E0041\U000E007Fg\U000E0000h",
                 "abcdefgh"},
        TextCase{"JoinersKept", "\U0001F469\u200D\U0001F4BB a\u200Cb",
                 "\U0001F469\u200D\U0001F4BB a\u200Cb"},
        TextCase{"TabsAndLineBreaksAreSpaces", "one\ttwo\r\nthree\nfour", "one two three four"},
        TextCase{"WhiteSpaceCollapsedAndTrimmed", "  \n  spaced   out  \t ", "spaced out"},
        TextCase{"EmptyStaysEmpty", "", ""},
        // Ill-formed markup loses no text.
        TextCase{"LeadingEndTag", "</b>Breaking news", "Breaking news"},
        TextCase{"LeadingParagraphEnd", "</p>text", "text"},
        TextCase{"EndOfDocumentInside", "end</html>after", "endafter"},
        TextCase{"LeadingDoctype", "<!DOCTYPE html>Hello", "Hello"},
        TextCase{"LoneAmpersand", "a & b", "a & b"},
        TextCase{"LoneLessThan", "a < b", "a < b"},
        TextCase{"TrailingLessThan", "trailing <", "trailing <"},
        TextCase{"ProcessingInstructionThenEndTag", "<?pi?></b>text", "text"},
        TextCase{"BogusDeclarationThenEndTag", "<!x></b>text", "<!x>text"},
        // What the text declares of its encoding changes nothing: it is UTF-8 already.
        TextCase{"MetaCharsetIgnored", "<meta charset=\"koi8-r\">Тест",
                 "Тест"},
        TextCase{"MetaCharsetEbcdicIgnored", "<meta charset=\"ebcdic-us\">Test", "Test"},
        // CDATA content is literal text wherever it stands, and never joins with markup.
        TextCase{"CdataDoesNotCompleteAReference", "&am<![CDATA[p;]]>", "&amp;"},
        TextCase{"CdataInsideScriptKept", "<script><![CDATA[x]]></script>y", "xy"},
        TextCase{"CdataInsideStyleKept", "<style><![CDATA[b]]></style>!", "b!"},
        // Emoji tag sequences (a flag of a region) keep their tags; stray tags go.
        TextCase{"EnglandFlagKept", "🏴󠁧󠁢󠁥󠁮󠁧"
                                    "󠁿!",
                 "🏴󠁧󠁢󠁥󠁮󠁧󠁿!"},
        TextCase{"UnterminatedTagSequenceDropped", "🏴󠁧󠁢x",
                 "🏴x"},
        TextCase{"TagsWithoutBlackFlagDropped", "a󠁧󠁿b", "ab"}),
    [](const auto& info) { return info.param.name; });

struct WidthCase {
  std::string name;
  std::string text;
  int columns;
  std::string fitted;
  std::string ellipsis = kEllipsis;
};

void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.name; }

class Width : public testing::TestWithParam<WidthCase> {};

TEST_P(Width, CutsBetweenClusters) {
  EXPECT_EQ(FitToColumns(GetParam().text, GetParam().columns, GetParam().ellipsis),
            GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, Width,
    testing::Values(
        WidthCase{"FitsUncut", "harbour", 7, "harbour"},
        WidthCase{"AsciiCutWithEllipsis", "harbour bridge", 8, "harbour…"},
        WidthCase{"OneColumnIsEllipsisOnly", "harbour", 1, "…"},
        // An ending of the user's counts its own width; one wider than the width is cut.
        WidthCase{"AsciiEllipsisTakesThreeColumns", "harbour bridge", 8, "harbo...", "..."},
        WidthCase{"AsciiEllipsisUncutText", "harbour", 7, "harbour", "..."},
        WidthCase{"EllipsisWiderThanWidth", "harbour bridge", 2, "..", "..."},
        WidthCase{"EmptyEllipsisCutsOnly", "harbour bridge", 8, "harbour ", ""},
        WidthCase{"WideEllipsis", "harbour bridge", 8, "harbou\u4e16", "\u4e16"},
        WidthCase{"WideCountTwo", "\u4e16\u754c\u4f60\u597d", 8, "\u4e16\u754c\u4f60\u597d"},
        WidthCase{"WideNotSplitAtOddColumn", "\u4e16\u754c\u4f60\u597d", 6,
                  "\u4e16\u754c\u2026"},
        WidthCase{"CombiningMarksCountZero", "e\u0301e\u0301e\u0301", 3, "e\u0301e\u0301e\u0301"},
        WidthCase{"CombiningMarkStaysWithItsBase", "e\u0301e\u0301e\u0301x", 3,
                  "e\u0301e\u0301\u2026"},
        WidthCase{"FlagPairNotSplit", "ab\U0001F1E9\U0001F1EAcd", 4, "ab\u2026"},
        // Every emoji sequence Unicode recommends fits a cluster whole.
        WidthCase{"FamilyWithSkinTonesWhole",
                  "\U0001F468\U0001F3FB\u200D\U0001F469\U0001F3FB\u200D\U0001F467\U0001F3FB"
                  "\u200D\U0001F466\U0001F3FB",
                  40,
                  "\U0001F468\U0001F3FB\u200D\U0001F469\U0001F3FB\u200D\U0001F467\U0001F3FB"
                  "\u200D\U0001F466\U0001F3FB"},
        WidthCase{"KissWithSkinTonesWhole",
                  "\U0001F469\U0001F3FD\u200D\u2764\uFE0F\u200D\U0001F48B\u200D\U0001F468"
                  "\U0001F3FB",
                  40,
                  "\U0001F469\U0001F3FD\u200D\u2764\uFE0F\u200D\U0001F48B\u200D\U0001F468"
                  "\U0001F3FB"},
        WidthCase{"EnglandFlagWhole",
                  "\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F", 40,
                  "\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F"}),
    [](const auto& info) { return info.param.name; });

// A line splits at its last "%l": a title cannot choose the link.
TEST(ShownItem, SplitsAtLastMarker) {
  const struct {
    const char* line;
    const char* title;
    const char* link;
  } cases[] = {
      {"Harbour%lhttps://a.example/1", "Harbour", "https://a.example/1"},
      {"Cute cats %lhttps://evil.example/phish%lhttps://real.example/abc",
       "Cute cats %lhttps://evil.example/phish", "https://real.example/abc"},
      {"%l", "", ""},
      {"no marker", "no marker", ""},
  };
  for (const auto& c : cases) {
    const ShownItem item = ToShownItem(c.line, 0);
    EXPECT_EQ(item.title, c.title) << c.line;
    EXPECT_EQ(item.link, c.link) << c.line;
  }
}

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// What is shown of a huge or hostile title is bounded by the output, not by the title.
TEST(ShownItem, BoundedWhateverTheTitle) {
  const struct {
    std::string name;
    std::string line;
    int maxWidth;
    std::string title;
  } cases[] = {
      {"LongTitleWithoutMaxWidth", Repeat("x", 5000) + "%lhttps://l", 0,
       Repeat("x", kMaxTitleColumns - 1) + "…"},
      {"OnlyThePrefixIsRead", Repeat("<br>", 100000) + "hidden%lhttps://l", 80, ""},
      {"CombiningMarksBoundedPerCluster", "a" + Repeat("\u0301", 1000) + "b%lhttps://l", 80,
       "a" + Repeat("\u0301", (kMaxClusterBytes - 1) / 2) + "b"},
      {"Utf8CutAtPrefixStaysUtf8", Repeat("\u00e9", kMaxFeedBytes) + "%lhttps://l", 4,
       "\u00e9\u00e9\u00e9…"},
      {"CdataContentKeptInOnePass", "<![CDATA[a &amp; <b>]]> &amp; <b>c</b>%lhttps://l", 80,
       "a &amp; <b> & c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToShownItem(c.line, c.maxWidth).title, c.title) << c.name;
  }
}

}  // namespace
}  // namespace feedline::host
