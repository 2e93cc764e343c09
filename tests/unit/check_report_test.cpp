#include "checker/check_report.h"

#include <gtest/gtest.h>

#include <string>

#include "checker/check_options.h"

namespace feedline {
namespace {

TEST(RawReportedItem, SplitsAtLastMarkerEscapesAndCuts) {
  const std::string longTitle(kReportedTitleBytes + 50, 't');
  // "é" straddling the cut: the cut moves before it rather than split it.
  const std::string straddling = std::string(kReportedTitleBytes - 1, 'a') + "\xc3\xa9" + "b";
  const struct {
    std::string line;
    std::string title;
    std::string link;
  } cases[] = {
      {"Title%lhttp://a/", "Title", "http://a/"},
      {"100%l off%lhttp://a/", "100%l off", "http://a/"},  // the title cannot choose the link
      {"%l", "", ""},
      {"", "", ""},
      {"no marker", "no marker", ""},
      {"\x1b]0;owned\x07title\r\n%lhttp://a/\x1b[2J", "\\x1b]0;owned\\x07title\\x0d\\x0a",
       "http://a/\\x1b[2J"},
      {"caf\xe9%lhttp://a/", "caf\\xe9", "http://a/"},  // a byte that is not UTF-8
      {"Gr\xc3\xbc\xc3\x9f""e%lhttp://a/", "Gr\xc3\xbc\xc3\x9f""e", "http://a/"},
      {longTitle + "%lhttp://a/", std::string(kReportedTitleBytes, 't') + "...", "http://a/"},
      {straddling + "%l", std::string(kReportedTitleBytes - 1, 'a') + "...", ""},
      {"t%l" + std::string(kReportedLinkBytes + 1, 'l'), "t",
       std::string(kReportedLinkBytes, 'l') + "..."},
  };
  for (const auto& c : cases) {
    const ReportedItem item = RawReportedItem(c.line);
    EXPECT_EQ(item.title, c.title) << c.line;
    EXPECT_EQ(item.link, c.link) << c.line;
  }
}

TEST(CheckReport, SameLinesForEveryOutcome) {
  const std::string url = "http://bob:pw@h/feed";
  const struct {
    const char* name;
    std::vector<std::string> told;
    ReportedItem first;
    std::string report;
  } cases[] = {
      {"items",
       {"http://h/feed: download failed: timed out", "http://h/feed: HTTP 200, 90 bytes, 2 items"},
       {"One", "http://one"},
       "address: http://h/feed\noutcome: http://h/feed: HTTP 200, 90 bytes, 2 items\n"
       "items:   2\nfirst:   One\nlink:    http://one\n"},
      {"failed",
       {"http://h/feed: download failed: connection refused (error 7)"},
       {},
       "address: http://h/feed\noutcome: http://h/feed: download failed: connection refused "
       "(error 7)\nitems:   none (the download failed)\nfirst:   nothing can be shown\n"},
      {"silent", {}, {}, "address: http://h/feed\noutcome: (the plug-in said nothing)\n"
       "items:   none (the download failed)\nfirst:   nothing can be shown\n"},
      {"escaped",
       {"http://h/feed: download failed: untrusted (CN=\x1b[31mX)"},
       {},
       "address: http://h/feed\noutcome: http://h/feed: download failed: untrusted "
       "(CN=\\x1b[31mX)\nitems:   none (the download failed)\nfirst:   nothing can be shown\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckReport(url, c.told, c.first), c.report) << c.name;
  }
}

TEST(ParseCheckOptions, UrlCountAndDll) {
  const struct {
    std::vector<std::string> args;
    bool valid;
    std::string dll, url, count;
  } cases[] = {
      {{"http://h/"}, true, "", "http://h/", "5"},
      {{"http://h/", "3"}, true, "", "http://h/", "3"},
      {{"--dll", "C:\\x\\feedline.dll", "http://h/"}, true, "C:\\x\\feedline.dll", "http://h/", "5"},
      {{"http://h/", "--dll", "d.dll", "7"}, true, "d.dll", "http://h/", "7"},
      {{}, false, "", "", ""},
      {{"--dll"}, false, "", "", ""},
      {{"--dll", "d.dll"}, false, "", "", ""},
      {{"http://h/", "3", "x"}, false, "", "", ""},
      {{"http://h/", "abc"}, false, "", "", ""},
      {{"http://h/", "$1E"}, true, "", "http://h/", "$1E"},
      {{"--quiet", "http://h/"}, false, "", "", ""},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto options = ParseCheckOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.valid) << testing::PrintToString(c.args) << error;
    if (!options) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(options->dll, c.dll);
    EXPECT_EQ(options->url, c.url);
    EXPECT_EQ(options->count, c.count);
  }
  std::string error;
  EXPECT_TRUE(ParseCheckOptions({"--help"}, error)->help);
}

}  // namespace
}  // namespace feedline
