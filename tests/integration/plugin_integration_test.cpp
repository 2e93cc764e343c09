// Drives the built plug-in as a host would, against a feed server on 127.0.0.1. The same cases
// run in this process on the Linux library and, when FEEDLINE_WINE_HOST names the Windows test
// host, on the Windows DLL under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "tests/faults/silent_listener.h"
#include "tests/faults/trickling_header_server.h"
#include "tests/integration/feed_server.h"
#include "tests/integration/ftp_server.h"
#include "tests/integration/plugin_cases.h"
#include "tests/integration/plugin_loader.h"
#include "tests/support/standard_error.h"
#include "tests/support/test_certificates.h"
#include "tests/support/trusted_test_ca.h"

namespace feedline::test {
namespace {

// What a run of the steps gave: one result line per step, and what the library told a person.
struct SessionOutput {
  std::vector<std::string> results;
  std::vector<std::string> told;
};

// Runs the steps in this process on the Linux library with FEEDLINE_DEBUG set, catching what it
// writes to standard error.
SessionOutput RunInProcess(const std::vector<Step>& steps) {
  setenv("FEEDLINE_DEBUG", "1", 1);
  SessionOutput output;
  std::istringstream caught(StandardErrorDuring(
      [&] { output.results = RunPluginScript(FEEDLINE_PLUGIN_FILE, steps); }));
  unsetenv("FEEDLINE_DEBUG");
  for (std::string line; std::getline(caught, line);) {
    if (line.starts_with("feedline: ")) output.told.push_back(line.substr(10));
  }
  return output;
}

// Runs the steps in the Windows test host under Wine. The host prints one result line per step,
// then a "told: " line for each debug string the plug-in sent (it debugs its own child).
SessionOutput RunUnderWine(const std::string& host, const std::vector<Step>& steps) {
  const std::string stepsFile = host + ".steps";
  const std::string resultsFile = host + ".results";
  {
    std::ofstream out(stepsFile);
    for (const Step& step : steps) {
      for (const std::string& word : step) out << word << ' ';
      out << '\n';
    }
  }
  // The loader of the DLL's bitness, named by the test's environment (WINELOADER).
  const char* loader = std::getenv("WINELOADER");
  if (loader == nullptr) return {{"WINELOADER is not set"}, {}};
  const std::string command = "'" + std::string(loader) + "' '" + host + "' < '" + stepsFile +
                              "' > '" + resultsFile + "'";
  if (std::system(command.c_str()) != 0) return {{"wine failed: " + command}, {}};
  SessionOutput output;
  std::ifstream in(resultsFile);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("told: ")) {
      output.told.push_back(line.substr(6));
    } else {
      output.results.push_back(line);
    }
  }
  return output;
}

const char* WineHost() { return std::getenv("FEEDLINE_WINE_HOST"); }

bool HasWord(const PluginCase& c, bool (*matches)(const std::string&)) {
  for (const Step& step : c.steps) {
    for (const std::string& word : step) {
      if (matches(word)) return true;
    }
  }
  return false;
}

bool IsUnresolvable(const std::string& word) { return word == "@unresolvable"; }

bool IsFtp(const std::string& word) { return word.starts_with("@ftp"); }

bool IsTls(const std::string& word) {
  return word.starts_with("@tls:") || word.starts_with("@to-tls:");
}

const TlsIdentity* IdentityNamed(const std::string& name) {
  const TestCertificates& made = TestCertificates::Get();
  const std::map<std::string, const TlsIdentity*> identities = {
      {"good", &made.good},
      {"other-name", &made.otherName},
      {"expired", &made.expired},
      {"self-signed", &made.selfSigned},
      {"hostile-name", &made.hostileName}};
  const auto found = identities.find(name);
  return found == identities.end() ? nullptr : found->second;
}

class PluginSession : public testing::TestWithParam<PluginCase> {
 protected:
  void SetUp() override {
    // Before the first client of any test reads the CA bundle (Wine's reads it once per
    // wineserver), the test CA takes its place.
    const std::string trustFailure = TrustOnlyTestCa();
    if (HasWord(GetParam(), IsTls)) {
      if (!HasPrivateMounts()) GTEST_SKIP() << trustFailure;
      ASSERT_EQ(trustFailure, "");
    }
    if (HasWord(GetParam(), IsFtp)) {
      ASSERT_EQ(Ftp().Failure(), "");
    }
    const bool isolated = std::getenv("FEEDLINE_ISOLATED_NETWORK") != nullptr;
    if (HasWord(GetParam(), IsUnresolvable) && !isolated) {
      GTEST_SKIP() << "needs an isolated network";
    }
  }

  // The address an "@..." word stands for (see PluginCase); other words stay as they are.
  std::string ResolveWord(const std::string& word) {
    if (word.ends_with("+long-query")) {
      return ResolveWord(word.substr(0, word.size() - 11)) + kLongQuery;
    }
    if (word.starts_with("@ftp-user:")) {
      return "ftp://alice:" + std::string(kPassword) + "@" + Ftp().Url(word.substr(10)).substr(6);
    }
    if (word.starts_with("@ftp")) return Ftp().Url(word.substr(4));
    if (word == "@unreachable") return unreachable_;
    if (word == "@silent") return silent_.Url();
    if (word == "@trickle-headers") return trickling_.Url();
    // The server's port plus 65536: a port a 16-bit field would wrap onto the server's own.
    if (word == "@port-out-of-range") {
      return "http://127.0.0.1:" + std::to_string(server_.Port() + 65536) + "/feed";
    }
    if (word == "@https") return "https" + server_.Url("/feed").substr(4);
    if (IsUnresolvable(word)) return "http://feedline-fault-test.invalid/feed";
    if (word.starts_with("@tls:")) {
      const size_t slash = word.find('/');
      return TlsServer(word.substr(5, slash - 5)).Url(word.substr(slash));
    }
    if (word.starts_with("@to-tls:")) {
      return server_.Url("/to-tls/" + std::to_string(TlsServer(word.substr(8)).Port()));
    }
    if (word.starts_with("@user:")) {
      return "http://alice:" + std::string(kPassword) + "@" + server_.Url(word.substr(6)).substr(7);
    }
    if (word.starts_with('@')) return server_.Url(word.substr(1));
    return word;
  }

  // The steps with "@..." words replaced by addresses.
  std::vector<Step> Resolve(const std::vector<Step>& steps) {
    std::vector<Step> resolved = steps;
    for (Step& step : resolved) {
      for (std::string& word : step) word = ResolveWord(word);
    }
    return resolved;
  }

  // Checks what the library told a person against the case's expected lines, whose address
  // word (up to the first ": ") is resolved first. No told line may hold a password.
  void CheckTold(const std::vector<std::string>& told) {
    for (const std::string& line : told) {
      EXPECT_EQ(line.find(kPassword), std::string::npos) << line;
      // Whatever the platform's words carry (a certificate's name, a server's text), a told
      // line holds no control character: it cannot move a terminal or start another line.
      for (const unsigned char c : line) {
        EXPECT_TRUE(c >= 0x20 && c != 0x7f) << "control byte in a told line: " << line;
      }
    }
    if (!GetParam().told) return;
    std::vector<std::string> expected;
    for (const std::string& line : *GetParam().told) {
      const size_t colon = line.find(": ");
      expected.push_back(ResolveWord(line.substr(0, colon)) + line.substr(colon));
    }
    ASSERT_EQ(told.size(), expected.size()) << testing::PrintToString(told);
    for (size_t i = 0; i < told.size(); ++i) {
      EXPECT_EQ(told[i].substr(0, expected[i].size()), expected[i]) << told[i];
    }
  }

  // The FTP server, started on first use.
  FtpServer& Ftp() {
    if (!ftp_) ftp_ = std::make_unique<FtpServer>();
    return *ftp_;
  }

  // The TLS server presenting the named test certificate, started on first use.
  FeedServer& TlsServer(const std::string& name) {
    std::unique_ptr<FeedServer>& server = tlsServers_[name];
    if (!server) server = std::make_unique<FeedServer>(IdentityNamed(name));
    return *server;
  }

  void Check(const SessionOutput& output, const std::string& agent) {
    const PluginCase& c = GetParam();
    EXPECT_EQ(output.results, c.results);
    CheckTold(output.told);
    auto requests = server_.Requests();
    if (c.requests) {
      std::vector<std::string> paths;
      for (const auto& request : requests) paths.push_back(request.path);
      EXPECT_EQ(paths, *c.requests);
    }
    for (const auto& [name, server] : tlsServers_) {
      const auto seen = server->Requests();
      requests.insert(requests.end(), seen.begin(), seen.end());
    }
    for (const auto& request : requests) {
      EXPECT_EQ(request.userAgent, agent) << request.path;
      EXPECT_EQ(request.pragma, "no-cache") << request.path;
      EXPECT_EQ(request.acceptEncoding, "gzip, deflate") << request.path;
    }
  }

  FeedServer server_;
  SilentListener silent_;
  TricklingHeaderServer trickling_;
  const std::string unreachable_ = UnreachableUrl();
  std::map<std::string, std::unique_ptr<FeedServer>> tlsServers_;
  std::unique_ptr<FtpServer> ftp_;
};

class InProcess : public PluginSession {};
class UnderWine : public PluginSession {};

TEST_P(InProcess, MatchesExpectedLines) {
  if (WineHost() != nullptr) GTEST_SKIP() << "runs the Windows host only";
  Check(RunInProcess(Resolve(GetParam().steps)), ExecutableFileName());
}

TEST_P(UnderWine, MatchesExpectedLines) {
  const char* host = WineHost();
  if (host == nullptr) GTEST_SKIP() << "FEEDLINE_WINE_HOST is not set";
  const std::string hostPath = host;
  Check(RunUnderWine(hostPath, Resolve(GetParam().steps)),
        hostPath.substr(hostPath.rfind('/') + 1));
}

std::string CaseName(const testing::TestParamInfo<PluginCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cases, InProcess, testing::ValuesIn(PluginCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Cases, UnderWine, testing::ValuesIn(PluginCases()), CaseName);

}  // namespace
}  // namespace feedline::test
