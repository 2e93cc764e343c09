// Each bar format against hostile feed text: what the reader parses back is the display text,
// and nothing of the text becomes markup, a style, a tag or a command there.
#include <gtest/gtest.h>
#include <pango/pango.h>

#include <nlohmann/json.hpp>

#include "host/bar_formats.h"
#include "host/display_text.h"

namespace feedline::host {
namespace {

// Titles as a hostile feed writes them (the library's bytes), with a link of the same kind.
const std::vector<std::string> kHostileTitles = {
    "#[fg=red]Red #{session_name} #(touch /tmp/x) ##",
    "%{A1:touch x:}click me%{A} %{F#f00}",
    "&lt;/span&gt;&lt;span foreground=\"red\"&gt;big&lt;/span&gt;",
    "<![CDATA[</span><b>raw & bold</b>]]>",
    "quotes \" ' and backslashes \\ \\n \\u0041",
    "control \x1b[2J\x07 bytes \x01",
    "invalid UTF-8 \xff\xfe caf\xe9",
    "",
};
const std::string kHostileLink = "https://x.example/?a=1&b=<2>#frag\"'";

// The text Pango shows for markup, or a note that it did not parse.
std::string PangoText(const std::string& markup) {
  char* text = nullptr;
  GError* error = nullptr;
  if (!pango_parse_markup(markup.c_str(), -1, 0, nullptr, &text, nullptr, &error)) {
    std::string message = std::string("markup error: ") + error->message;
    g_error_free(error);
    return message;
  }
  std::string result(text);
  g_free(text);
  return result;
}

class Formats : public testing::TestWithParam<std::string> {
 protected:
  std::string title_ = DisplayText(GetParam());
  std::string link_ = DisplayText(kHostileLink);
};

TEST_P(Formats, JsonParsesBackToDisplayText) {
  const auto line = nlohmann::json::parse(FormatLine(BarFormat::Json, title_, link_));
  EXPECT_EQ(line.at("title"), title_);
  EXPECT_EQ(line.at("link"), link_);
}

TEST_P(Formats, WaybarIsJsonWhosePangoTextIsDisplayText) {
  const std::string line = FormatLine(BarFormat::Waybar, title_, link_);
  EXPECT_TRUE(g_utf8_validate(line.c_str(), -1, nullptr));
  const auto json = nlohmann::json::parse(line);
  EXPECT_EQ(PangoText(json.at("text")), title_);
  EXPECT_EQ(PangoText(json.at("tooltip")), link_);
  EXPECT_EQ(json.at("class"), "feedline");
}

// What tmux shows for a status command's output: runs of "#" before "[" halved, others quartered
// (its format pass and its drawing pass each turn "##" into "#"); an odd run would be read as
// markup. The tmux test checks the same against tmux itself.
TEST_P(Formats, TmuxShowsEveryHashAsItself) {
  const std::string line = FormatLine(BarFormat::Tmux, title_, link_);
  std::string shown;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] != '#') {
      shown += line[i++];
      continue;
    }
    const std::size_t end = std::min(line.find_first_not_of('#', i), line.size());
    const std::size_t divisor = end < line.size() && line[end] == '[' ? 2 : 4;
    ASSERT_EQ((end - i) % divisor, 0u) << "a run of # tmux would read, in " << line;
    shown.append((end - i) / divisor, '#');
    i = end;
  }
  EXPECT_EQ(shown, title_);
}

TEST_P(Formats, PolybarHasNoTagStart) {
  const std::string line = FormatLine(BarFormat::Polybar, title_, link_);
  EXPECT_EQ(line.find("%{"), std::string::npos) << line;
  std::string shown = line;
  for (std::size_t at; (at = shown.find("%\u200B{")) != std::string::npos;) shown.erase(at + 1, 3);
  EXPECT_EQ(shown, title_);
}

TEST_P(Formats, LineFormatsAreOneCleanLine) {
  for (const BarFormat format : {BarFormat::Plain, BarFormat::I3blocks, BarFormat::Json,
                                 BarFormat::Waybar, BarFormat::Tmux, BarFormat::Polybar}) {
    const std::string line = FormatLine(format, title_, link_);
    for (const unsigned char c : line) ASSERT_TRUE(c >= 0x20 && c != 0x7f) << line;
    EXPECT_TRUE(g_utf8_validate(line.c_str(), -1, nullptr)) << line;
  }
  EXPECT_EQ(FormatLine(BarFormat::I3blocks, title_, link_), title_);
  EXPECT_EQ(FormatLine(BarFormat::Plain, title_, link_), title_ + "  <" + link_ + ">");
}

std::string HostileTitleName(const testing::TestParamInfo<std::string>& info) {
  static const char* const kNames[] = {"TmuxFormats",          "PolybarActions",
                                       "EscapedPangoMarkup",   "CdataMarkup",
                                       "QuotesAndBackslashes", "ControlBytes",
                                       "InvalidUtf8",          "Empty"};
  return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(HostileTitles, Formats, testing::ValuesIn(kHostileTitles),
                         HostileTitleName);

TEST(FormatNames, EveryNameParsesAndOthersDoNot) {
  for (const char* name : {"plain", "json", "tmux", "polybar", "waybar", "i3blocks"}) {
    EXPECT_TRUE(ParseBarFormat(name)) << name;
  }
  EXPECT_FALSE(ParseBarFormat("Plain"));
  EXPECT_FALSE(ParseBarFormat(""));
}

}  // namespace
}  // namespace feedline::host

namespace feedline::host {
namespace {

// A feed's label stands before the title in every format, counted in the width, and has a field
// of its own where the format has fields.
TEST(Labels, StandBeforeTheTitleAndCountInTheWidth) {
  struct Case {
    std::string line;
    int maxWidth;
    std::string label;
    std::string title;
  };
  const std::vector<Case> cases = {
      {"Title%lhttps://l", 0, "HN", "HN · Title"},
      {"Title%lhttps://l", 8, "HN", "HN · Ti…"},
      {"%lhttps://l", 0, "HN", "HN"},
      // An empty position stays empty: nothing to show, no label either.
      {"%l", 0, "HN", ""},
      // The label is the user's text, shown as typed but for control characters.
      {"T%l", 0, "a<b>b</b>\x01", "a<b>b</b> · T"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToShownItem(c.line, c.maxWidth, kEllipsis, nullptr, c.label).title, c.title) << c.line;
  }
}

TEST(Labels, HaveAFieldInJsonAndWaybar) {
  const std::string label = "#[fg=red]%{F#f00}&</span>";
  const ShownItem item = ToShownItem("Title%lhttps://l", 0, kEllipsis, nullptr, label);
  ASSERT_EQ(item.label, label);
  const auto json = nlohmann::json::parse(FormatLine(BarFormat::Json, item.title, item.link, item.label));
  EXPECT_EQ(json.at("title"), label + " · Title");
  EXPECT_EQ(json.at("label"), label);
  const auto waybar =
      nlohmann::json::parse(FormatLine(BarFormat::Waybar, item.title, item.link, item.label));
  EXPECT_EQ(PangoText(waybar.at("text")), label + " · Title");
  EXPECT_EQ(PangoText(waybar.at("alt")), label);
  // Without a label, no field: lines look as they did.
  EXPECT_FALSE(nlohmann::json::parse(FormatLine(BarFormat::Json, "t", "l")).contains("label"));
  EXPECT_FALSE(nlohmann::json::parse(FormatLine(BarFormat::Waybar, "t", "l")).contains("alt"));
}

}  // namespace
}  // namespace feedline::host
