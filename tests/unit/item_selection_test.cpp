#include "plugin/item_selection.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/copying_walk.h"
#include "tests/unit/bytes.h"

namespace feedline {
namespace {

const std::string kThreeItems =
    "<rss><channel><title>Chan</title><link>http://chan</link>"
    "<item><title>A</title><link>http://a</link></item>"
    "<item><title>B</title><link>http://b</link></item>"
    "<item><title>C</title><link>http://c</link></item>"
    "</channel></rss>";

const std::string kAttributedItems =
    "<rss><channel><title>Chan</title><link>http://chan</link>"
    "<item id=\"1\"><title>A</title><link>http://a</link></item>"
    "<item id=\"2\"><title>B</title><link>http://b</link></item>"
    "</channel></rss>";

struct SelectionCase {
  const char* name;
  std::string document;
  std::int32_t k;
  std::string line;
};

class Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Selection, ShowsExpectedLine) {
  EXPECT_EQ(SelectItem(GetParam().document, GetParam().k), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Selection,
    testing::Values(
        SelectionCase{"FirstItemNotChannel", kThreeItems, 1, "A%lhttp://a"},
        SelectionCase{"MiddleItem", kThreeItems, 2, "B%lhttp://b"},
        SelectionCase{"LastItem", kThreeItems, 3, "C%lhttp://c"},
        SelectionCase{"PastLastItem", kThreeItems, 4, "%l"},
        SelectionCase{"FarPastLastItem", kThreeItems, 1000000, "%l"},
        SelectionCase{"NoLink", "<item><title>T</title></item>", 1, "T%l"},
        SelectionCase{"NoTitleClose", "<item><title>T<link>L</link></item>", 1, "%lL"},
        SelectionCase{"TitleOpenMissing", "<item>123456Hello</title><link>L</link></item>", 1,
                      "Hello%lL"},
        SelectionCase{"HtmlPageFirst", "<html><body>Not Found</body></html>", 1, "%l"},
        SelectionCase{"HtmlPageLater", "<html><body>Not Found</body></html>", 3, "%l"},
        SelectionCase{"AttributesShowChannelFirst", kAttributedItems, 1, "Chan%lhttp://chan"},
        SelectionCase{"AttributesThenSecondItem", kAttributedItems, 2, "B%lhttp://b"},
        SelectionCase{"AttributesPastEnd", kAttributedItems, 3, "%l"},
        SelectionCase{"UpperCaseTagsNotFound", "<ITEM><TITLE>T</TITLE></ITEM>", 1, "%l"},
        SelectionCase{"EntityUndecoded", "<item><title>A &amp; B</title><link>L</link></item>",
                      1, "A &amp; B%lL"},
        SelectionCase{"CdataKept",
                      "<item><title><![CDATA[X <y>]]></title><link>L</link></item>", 1,
                      "<![CDATA[X <y>]]>%lL"},
        SelectionCase{"WhitespaceKept", "<item><title> T\n</title><link>\tL </link></item>", 1,
                      " T\n%l\tL "},
        SelectionCase{"ZeroByteKept", Bytes("<item><title>A\0B</title></item>"), 1,
                      Bytes("A\0B%l")},
        SelectionCase{"EmptyDocument", "", 1, "%l"},
        SelectionCase{"PositionBelowOne", kThreeItems, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Selection, AgreesWithCopyingWalkOnOddDocuments) {
  const std::string documents[] = {
      kThreeItems,
      kAttributedItems,
      // no "</item>" at all: each pass drops six bytes
      "0123456789ab<item><title>T</title><link>L</link>xx<item>zz</item",
      "</item></item><item><title>X</title></item>",
      "<item><title>A</title></item>abcdef<item><title>B</title><link>b</link></item>"
      "abcdefghijklmnop<item>123456Q</title></item>",
      "abcdefg<title>U</title><link>u</link></item>rest-of-it-<link>v</link></item>",
  };
  for (const auto& document : documents) {
    for (int k = 1; k <= 24; ++k) {
      EXPECT_EQ(SelectItem(document, k), reference::CopyingSelectItem(document, k))
          << "k=" << k << " document: " << document;
    }
  }
}

TEST(Selection, HostileDocumentsEndAtEmptyLine) {
  const std::string noTags(7 * 100000, 'x');
  std::string closesOnly;
  for (int i = 0; i < 100000; ++i) closesOnly += "</item>";
  EXPECT_EQ(SelectItem(closesOnly, 50000), "%l");
  EXPECT_EQ(SelectItem(closesOnly, INT32_MAX), "%l");
  EXPECT_EQ(SelectItem(noTags, INT32_MAX), "%l");
}

TEST(ExtractBetween, AbsentOpenTagSkipsItsLengthLessOne) {
  EXPECT_EQ(ExtractBetween("<item>", "</item>", "abcdefgh</item>"), "fgh");
  EXPECT_EQ(ExtractBetween("<item>", "</item>", "<item>x</item>"), "x");
  EXPECT_EQ(ExtractBetween("<item>", "</item>", "<item></item>"), "");
  EXPECT_EQ(ExtractBetween("<item>", "</item>", "ab"), "");
}

TEST(TextAfter, AbsentTagDropsLengthLessOne) {
  EXPECT_EQ(TextAfter("</item>", "a</item>b"), "b");
  EXPECT_EQ(TextAfter("</item>", "abcdefgh"), "gh");
  EXPECT_EQ(TextAfter("</item>", "abc"), "");
}

}  // namespace
}  // namespace feedline
