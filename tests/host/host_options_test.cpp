// The host's command line: what each option sets, and the one-line errors for bad arguments.
#include <gtest/gtest.h>

#include "host/host_options.h"

namespace feedline::host {
namespace {

TEST(HostOptions, EveryOptionIsApplied) {
  std::string error;
  const auto options = ParseHostOptions(
      {"--format", "waybar", "--max-width", "40", "--output", "/tmp/line", "--name", "work-1",
       "--open-with", "firefox", "--poll", "0.5", "--ellipsis", "...", "https://x/feed", "-3",
       "0x1e", "$0A"},
      error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->format, BarFormat::Waybar);
  EXPECT_EQ(options->maxWidth, 40);
  EXPECT_EQ(options->output, "/tmp/line");
  EXPECT_EQ(options->name, "work-1");
  EXPECT_EQ(options->openWith, "firefox");
  EXPECT_EQ(options->pollSeconds, 0.5);
  EXPECT_EQ(options->ellipsis, "...");
  EXPECT_EQ(options->url, "https://x/feed");
  EXPECT_EQ(options->count, "-3");  // a negative count is a number: it always shows item 1
  EXPECT_EQ(options->rotateSeconds, "$0A");
}

// Which arguments are feeds (with or without a label) and which are the numbers after them.
struct FeedForms {
  std::string name;
  std::vector<std::string> args;
  std::vector<FeedArgument> feeds;
  std::string count = "5";
  std::string rotateSeconds = "10";
};

class FeedArgumentForms : public testing::TestWithParam<FeedForms> {};

TEST_P(FeedArgumentForms, SplitIntoFeedsAndNumbers) {
  std::string error;
  const auto options = ParseHostOptions(GetParam().args, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->feeds, GetParam().feeds);
  EXPECT_EQ(options->url, GetParam().feeds.front().address);
  EXPECT_EQ(options->count, GetParam().count);
  EXPECT_EQ(options->rotateSeconds, GetParam().rotateSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FeedArgumentForms,
    testing::Values(
        FeedForms{"OneAddress", {"https://x/rss"}, {{"", "https://x/rss"}}},
        FeedForms{"Labels", {"HN=https://h/rss", "lwn=https://l/rss", "3"},
                  {{"HN", "https://h/rss"}, {"lwn", "https://l/rss"}}, "3"},
        // The text before "=" has ":" or "/": the whole argument is an address.
        FeedForms{"QueryWithEquals", {"https://x.example/rss?a=b", "b.xml"},
                  {{"", "https://x.example/rss?a=b"}, {"", "b.xml"}}},
        FeedForms{"PathWithEquals", {"./news=1.xml", "file:///n=2.xml"},
                  {{"", "./news=1.xml"}, {"", "file:///n=2.xml"}}},
        FeedForms{"LabelBeforeAddressWithEquals", {"News=./a=b.xml"}, {{"News", "./a=b.xml"}}},
        FeedForms{"LabelOfUnicodeAndSpaces", {"Nachrichten · heute=n.xml"},
                  {{"Nachrichten · heute", "n.xml"}}},
        // 33 characters are not a label; nothing after "=" is no label either.
        FeedForms{"LongLabelIsAddress", {std::string(33, 'L') + "=a.xml"},
                  {{"", std::string(33, 'L') + "=a.xml"}}},
        FeedForms{"EmptyAfterEquals", {"HN="}, {{"", "HN="}}},
        FeedForms{"NumbersAfterLastAddress", {"a.xml", "B=b", "./c", "-3", "0x1e", "$0A"},
                  {{"", "a.xml"}, {"B", "b"}, {"", "./c"}}, "-3", "$0A"},
        // The first argument is always an address, however it looks.
        FeedForms{"FirstIsAlwaysAnAddress", {"5", "x.xml", "7"}, {{"", "5"}, {"", "x.xml"}}, "7"},
        FeedForms{"FiftyFeeds", std::vector<std::string>(50, "x.xml"),
                  std::vector<FeedArgument>(50, {"", "x.xml"})}),
    [](const testing::TestParamInfo<FeedForms>& info) { return info.param.name; });

struct BadArguments {
  std::string name;
  std::vector<std::string> args;
  std::string error;
};

class HostOptionErrors : public testing::TestWithParam<BadArguments> {};

TEST_P(HostOptionErrors, NameTheBadArgument) {
  std::string error;
  EXPECT_FALSE(ParseHostOptions(GetParam().args, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Bad, HostOptionErrors,
    testing::Values(
        BadArguments{"UnknownFormat", {"--format", "Plain"},
                     "unknown format: 'Plain' (plain, json, tmux, polybar, waybar, i3blocks)"},
        BadArguments{"ZeroWidth", {"--max-width", "0"}, "bad value for --max-width: '0' (columns, 1 or more)"},
        BadArguments{"WidthNotANumber", {"--max-width", "8x"}, "bad value for --max-width: '8x' (columns, 1 or more)"},
        BadArguments{"NameWithPath", {"--name", "../x"},
                     "bad value for --name: '../x' (letters, digits, '.', '_' and '-')"},
        BadArguments{"EmptyOutput", {"--output", ""}, "empty value for --output"},
        BadArguments{"ZeroPoll", {"--poll", "0"}, "bad value for --poll: '0' (seconds, from 0.01 to 86400)"},
        // Below 10 ms the loop would spin a core.
        BadArguments{"PollBelow10ms", {"--poll", "0.009"},
                     "bad value for --poll: '0.009' (seconds, from 0.01 to 86400)"},
        BadArguments{"MissingOpenWith", {"--open-with"}, "missing value for --open-with"},
        BadArguments{"UnknownOption", {"--colour"}, "unknown option: --colour"},
        // The ending is shown after every cut title: no control character, no markup, short.
        BadArguments{"EllipsisWithEscape", {"--ellipsis", "\x1b[31m"},
                     "bad value for --ellipsis: '\x1b[31m' (at most 16 bytes of plain text)"},
        BadArguments{"EllipsisWithMarkup", {"--ellipsis", "<b>"},
                     "bad value for --ellipsis: '<b>' (at most 16 bytes of plain text)"},
        BadArguments{"EllipsisTooLong", {"--ellipsis", "12345678901234567"},
                     "bad value for --ellipsis: '12345678901234567' (at most 16 bytes of plain text)"},
        BadArguments{"ExtraArgument", {"u", "5", "30", "10", "extra"}, "unexpected argument: 'extra'"},
        BadArguments{"CountNotANumber", {"u", "five"}, "bad value for COUNT: 'five' (an integer)"},
        // A decimal number is a number written wrongly, not a file name.
        BadArguments{"CountWithPoint", {"a", "b.xml", "1.5"},
                     "bad value for COUNT: '1.5' (an integer)"},
        BadArguments{"FeedAfterNumbers", {"a.xml", "5", "b.xml"},
                     "'b.xml' after the numbers: every URL comes before COUNT"},
        BadArguments{"FiftyOneFeeds", std::vector<std::string>(51, "x.xml"),
                     "too many feeds: 51 (at most 50)"}),
    [](const testing::TestParamInfo<BadArguments>& info) { return info.param.name; });

}  // namespace
}  // namespace feedline::host
