// Drives the built plug-in as a host would, against a feed server on 127.0.0.1. The same cases
// run in this process on the Linux library and, when FEEDLINE_WINE_HOST names the Windows test
// host, on the Windows DLL under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/faults/silent_listener.h"
#include "tests/integration/feed_server.h"
#include "tests/integration/plugin_cases.h"
#include "tests/integration/plugin_loader.h"

namespace feedline::test {
namespace {

// The steps with "@..." words replaced by addresses of `server`.
std::vector<Step> Resolve(const std::vector<Step>& steps, const FeedServer& server,
                          const SilentListener& silent) {
  const std::string unreachable = UnreachableUrl();
  std::vector<Step> resolved = steps;
  for (Step& step : resolved) {
    for (std::string& word : step) {
      if (word == "@unreachable") {
        word = unreachable;
      } else if (word == "@silent") {
        word = silent.Url();
      } else if (word == "@https") {
        word = "https" + server.Url("/feed").substr(4);
      } else if (word == "@unresolvable") {
        word = "http://feedline-fault-test.invalid/feed";
      } else if (word.starts_with('@')) {
        word = server.Url(word.substr(1));
      }
    }
  }
  return resolved;
}

// Runs the steps in the Windows test host under Wine and returns its result lines.
std::vector<std::string> RunUnderWine(const std::string& host, const std::vector<Step>& steps) {
  const std::string stepsFile = host + ".steps";
  const std::string resultsFile = host + ".results";
  {
    std::ofstream out(stepsFile);
    for (const Step& step : steps) {
      for (const std::string& word : step) out << word << ' ';
      out << '\n';
    }
  }
  const std::string command =
      "wine '" + host + "' < '" + stepsFile + "' > '" + resultsFile + "'";
  if (std::system(command.c_str()) != 0) return {"wine failed: " + command};
  std::vector<std::string> results;
  std::ifstream in(resultsFile);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    results.push_back(line);
  }
  return results;
}

const char* WineHost() { return std::getenv("FEEDLINE_WINE_HOST"); }

// Name lookups may only run where ctest has given the tests a network of their own.
bool LooksUpNamesOutside(const PluginCase& c) {
  if (std::getenv("FEEDLINE_ISOLATED_NETWORK") != nullptr) return false;
  for (const Step& step : c.steps) {
    for (const std::string& word : step) {
      if (word == "@unresolvable") return true;
    }
  }
  return false;
}

class PluginSession : public testing::TestWithParam<PluginCase> {
 protected:
  void SetUp() override {
    if (LooksUpNamesOutside(GetParam())) GTEST_SKIP() << "needs an isolated network";
  }

  void Check(const std::vector<std::string>& results, const std::string& agent) {
    const PluginCase& c = GetParam();
    EXPECT_EQ(results, c.results);
    const auto requests = server_.Requests();
    if (c.requests) {
      std::vector<std::string> paths;
      for (const auto& request : requests) paths.push_back(request.path);
      EXPECT_EQ(paths, *c.requests);
    }
    for (const auto& request : requests) {
      EXPECT_EQ(request.userAgent, agent) << request.path;
      EXPECT_EQ(request.pragma, "no-cache") << request.path;
      EXPECT_EQ(request.acceptEncoding, "gzip, deflate") << request.path;
    }
  }

  FeedServer server_;
  SilentListener silent_;
};

class InProcess : public PluginSession {};
class UnderWine : public PluginSession {};

TEST_P(InProcess, MatchesExpectedLines) {
  if (WineHost() != nullptr) GTEST_SKIP() << "runs the Windows host only";
  Check(RunPluginScript(FEEDLINE_PLUGIN_FILE, Resolve(GetParam().steps, server_, silent_)),
        ExecutableFileName());
}

TEST_P(UnderWine, MatchesExpectedLines) {
  const char* host = WineHost();
  if (host == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_HOST is not set";
  const std::string hostPath = host;
  Check(RunUnderWine(hostPath, Resolve(GetParam().steps, server_, silent_)),
        hostPath.substr(hostPath.rfind('/') + 1));
}

std::string CaseName(const testing::TestParamInfo<PluginCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cases, InProcess, testing::ValuesIn(PluginCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Cases, UnderWine, testing::ValuesIn(PluginCases()), CaseName);

}  // namespace
}  // namespace feedline::test
