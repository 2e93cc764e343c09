// The report of one check, from feedline-host --check on Linux (FEEDLINE_HOST_PROGRAM) and from
// feedline-check.exe under Wine (FEEDLINE_WINE_CHECKER), against a feed server on 127.0.0.1:
// one table of cases, since both programs print the same report.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "plugin/download_outcome.h"
#include "tests/integration/feed_server.h"
#include "tests/integration/plugin_cases.h"

namespace feedline::test {
namespace {

struct CheckCase {
  std::string name;
  std::string address;  // "@/path", "@user:/path" or "@unreachable", as in the plug-in cases
  int exitCode;
  // The report's lines, each matched as a prefix, with "ADDR" standing for the address as
  // shown (without credentials).
  std::vector<std::string> report;
  std::string outcomeEnd;  // how the outcome line ends (before the platform's own words)
};

std::vector<CheckCase> CheckCases() {
  return {
      {"GoodFeed", "@/feed", 0,
       {"address: ADDR", "outcome: ADDR: HTTP 200, ", "items:   3", "first:   one",
        "link:    http://one"},
       "3 items"},
      {"PasswordInAddressNeverShown", "@user:/feed", 0,
       {"address: ADDR", "outcome: ADDR: HTTP 200, ", "items:   3", "first:   one",
        "link:    http://one"},
       "3 items"},
      {"RefusedPort", "@unreachable", 1,
       {"address: ADDR", "outcome: ADDR: download failed: connection refused",
        "items:   none (the download failed)", "first:   nothing can be shown"},
       ""},
      {"NotFoundPage", "@/missing", 1,
       {"address: ADDR", "outcome: ADDR: HTTP 404, ", "items:   0",
        "first:   nothing can be shown"},
       "no items: no <item> element"},
      {"AtomFeed", "@/atom", 0,
       {"address: ADDR", "outcome: ADDR: HTTP 200, ", "items:   1", "first:   one",
        "link:    http://one"},
       "1 entry (Atom)"},
  };
}

struct ProgramRun {
  int exitCode = -1;
  std::vector<std::string> lines;  // standard output, without carriage returns
  std::string error;               // standard error
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `command` (already quoted) with its output caught in files beside `scratch`.
ProgramRun RunProgram(const std::string& command, const std::string& scratch) {
  const std::string out = scratch + ".out";
  const std::string err = scratch + ".err";
  const int status = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream text(ReadAll(out));
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    run.lines.push_back(line);
  }
  run.error = ReadAll(err);
  return run;
}

const char* LinuxHost() { return std::getenv("FEEDLINE_HOST_PROGRAM"); }
const char* WineChecker() { return std::getenv("FEEDLINE_WINE_CHECKER"); }

// The checker under the Wine loader of its bitness (WINELOADER, set by the test), with
// `environment` ("NAME=value ...") before it.
ProgramRun RunChecker(const std::string& arguments, const std::string& environment = "") {
  const char* loader = std::getenv("WINELOADER");
  const std::string checker = WineChecker();
  if (loader == nullptr) return {-1, {}, "WINELOADER is not set"};
  return RunProgram(environment + " '" + std::string(loader) + "' '" + checker + "' " + arguments,
                    checker);
}

// The misbehaving test plug-in's path as Windows names it (Wine's drive Z: is /).
std::string MisbehavingDll() {
  const char* path = std::getenv("FEEDLINE_WINE_MISBEHAVING_DLL");
  if (path == nullptr) return "";
  std::string windows = std::string("Z:") + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

class CheckSession : public testing::TestWithParam<CheckCase> {
 protected:
  std::string Address() {
    const std::string& word = GetParam().address;
    if (word == "@unreachable") return unreachable_;
    if (word.starts_with("@user:")) {
      return "http://alice:" + std::string(kPassword) + "@" + server_.Url(word.substr(6)).substr(7);
    }
    return server_.Url(word.substr(1));
  }

  // `after`: a line the program prints after the report, matched as a prefix.
  void Check(const ProgramRun& run, const std::string& url, const std::string& after = "") {
    const CheckCase& c = GetParam();
    const std::string shown = ShownAddress(url);
    const std::string all = testing::PrintToString(run.lines) + run.error;
    EXPECT_EQ(run.exitCode, c.exitCode) << all;
    ASSERT_EQ(run.lines.size(), c.report.size() + (after.empty() ? 0 : 1)) << all;
    if (!after.empty()) {
      EXPECT_TRUE(run.lines.back().starts_with(after)) << run.lines.back();
    }
    for (std::size_t i = 0; i < c.report.size(); ++i) {
      std::string expected = c.report[i];
      for (std::size_t at; (at = expected.find("ADDR")) != std::string::npos;) {
        expected.replace(at, 4, shown);
      }
      EXPECT_TRUE(run.lines[i].starts_with(expected)) << run.lines[i] << "\nexpected: " << expected;
      if (i == 1 && !c.outcomeEnd.empty()) {
        EXPECT_NE(run.lines[i].find(c.outcomeEnd), std::string::npos) << run.lines[i];
      }
    }
    EXPECT_EQ(all.find(kPassword), std::string::npos) << all;
  }

  FeedServer server_;
  const std::string unreachable_ = UnreachableUrl();
};

class HostCheck : public CheckSession {};
class WineCheck : public CheckSession {};

TEST_P(HostCheck, PrintsReport) {
  if (LinuxHost() == nullptr) GTEST_SKIP() << "FEEDLINE_HOST_PROGRAM is not set";
  const std::string url = Address();
  ProgramRun run = RunProgram("'" + std::string(LinuxHost()) + "' --check '" + url + "'",
                              testing::TempDir() + "feedline_check");
  // The host also says which encoding it read the document in (where one arrived), and where a
  // host of that name keeps its messages.
  const auto encoding = std::find_if(run.lines.begin(), run.lines.end(), [](const auto& line) {
    return line.starts_with("encoding: ");
  });
  if (GetParam().exitCode == 0) {
    EXPECT_NE(encoding, run.lines.end()) << testing::PrintToString(run.lines);
  }
  if (encoding != run.lines.end()) run.lines.erase(encoding);
  Check(run, url, "log:     /");
}

// The Content-Type's charset decides how the title reads, over the XML declaration; the plug-in's
// bytes stay the document's own.
TEST(HostReadsEncoding, HttpCharsetOverDeclaration) {
  if (LinuxHost() == nullptr) GTEST_SKIP() << "FEEDLINE_HOST_PROGRAM is not set";
  FeedServer server;
  const std::string host = "'" + std::string(LinuxHost()) + "' ";
  const std::string url = "'" + server.Url("/koi8") + "'";
  const std::string scratch = testing::TempDir() + "feedline_koi8";
  const ProgramRun check = RunProgram(host + "--check " + url, scratch);
  EXPECT_EQ(check.exitCode, 0) << check.error;
  const auto has = [](const ProgramRun& run, const std::string& line) {
    return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end();
  };
  EXPECT_TRUE(has(check, "first:   Новости")) << testing::PrintToString(check.lines);
  EXPECT_TRUE(has(check, "encoding: KOI8-R (HTTP charset)")) << testing::PrintToString(check.lines);
  const ProgramRun once = RunProgram(host + "--once " + url, scratch);
  EXPECT_EQ(once.lines, std::vector<std::string>{"Новости  <http://one>"}) << once.error;
  const ProgramRun raw = RunProgram(host + "--once --raw " + url, scratch);
  EXPECT_EQ(raw.lines, std::vector<std::string>{"\xee\xcf\xd7\xcf\xd3\xd4\xc9%lhttp://one"});
}

TEST_P(WineCheck, PrintsReport) {
  if (WineChecker() == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_CHECKER is not set";
  const std::string url = Address();
  Check(RunChecker("'" + url + "'"), url);
}

std::string CaseName(const testing::TestParamInfo<CheckCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(CheckCases, HostCheck, testing::ValuesIn(CheckCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(CheckCases, WineCheck, testing::ValuesIn(CheckCases()), CaseName);

// What only the Windows checker has: its own arguments and a DLL named with --dll.
TEST(WineChecker, MissingDllIsNamedAndEndsTheCheck) {
  if (WineChecker() == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_CHECKER is not set";
  const ProgramRun run = RunChecker("--dll 'C:\\nowhere\\feedline.dll' http://127.0.0.1:9/feed");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.lines.empty()) << testing::PrintToString(run.lines);
  EXPECT_NE(run.error.find("cannot load C:\\nowhere\\feedline.dll"), std::string::npos) << run.error;
}

// A variable of that name already in a user's environment does not make the checker a child.
TEST(WineChecker, ChildMarkerInTheEnvironmentChangesNothing) {
  if (WineChecker() == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_CHECKER is not set";
  FeedServer server;
  const ProgramRun run = RunChecker("'" + server.Url("/feed") + "'", "FEEDLINE_CHECK_STEPS=1");
  EXPECT_EQ(run.exitCode, 0) << run.error;
  ASSERT_FALSE(run.lines.empty()) << run.error;
  EXPECT_TRUE(run.lines[0].starts_with("address: ")) << testing::PrintToString(run.lines);
}

// A plug-in that ends the process is named, with the code it ended it with.
TEST(WineChecker, PluginThatEndsTheProcessIsNamed) {
  if (WineChecker() == nullptr || MisbehavingDll().empty()) GTEST_SKIP() << "no checker or test DLL";
  const ProgramRun run = RunChecker("--dll '" + MisbehavingDll() + "' exit:10");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.error.find("the plug-in ended the process during FetchRSS, with exit code 10"),
            std::string::npos)
      << run.error;
}

// A plug-in that floods debug lines (100,000 of 32 KiB, 3 GiB in all: more than a 32-bit
// checker could hold) leaves the report its last line.
TEST(WineChecker, FloodOfDebugLinesIsBounded) {
  if (WineChecker() == nullptr || MisbehavingDll().empty()) GTEST_SKIP() << "no checker or test DLL";
  const ProgramRun run = RunChecker("--dll '" + MisbehavingDll() + "' flood:100000:32768");
  EXPECT_EQ(run.exitCode, 0) << run.error;
  ASSERT_GE(run.lines.size(), 2u) << run.error;
  EXPECT_EQ(run.lines[1], "outcome: the last line");
}

TEST(WineChecker, BadArgumentsExitTwo) {
  if (WineChecker() == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_CHECKER is not set";
  for (const std::string arguments :
       {"", "--verbose http://127.0.0.1:9/", "a 1 extra", "--dll", "http://127.0.0.1:9/ abc"}) {
    const ProgramRun run = RunChecker(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.error.find("Usage: feedline-check.exe"), std::string::npos) << arguments;
  }
}

}  // namespace
}  // namespace feedline::test
