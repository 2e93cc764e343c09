// A good feed, then refreshes against servers and addresses that fail in every way we know of:
// each call must come back within its time limit, and the line must keep rotating over the last
// good document. The download runs with shortened time limits so that a hang costs 2 s, not 60.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "download/download_feed.h"
#include "plugin/fetch_call.h"
#include "tests/faults/connect_proxy.h"
#include "tests/faults/not_http_server.h"
#include "tests/faults/silent_listener.h"
#include "tests/integration/feed_server.h"
#include "tests/support/process_memory.h"
#include "tests/support/test_certificates.h"
#include "tests/support/trusted_test_ca.h"

namespace feedline::test {
namespace {

constexpr DownloadLimits kTestLimits{1000, 2000, 64ull << 20};
constexpr double kQuick = 1.5;                                  // seconds for a prompt failure
constexpr double kHang = kTestLimits.transferTimeoutMs / 1000.0 + 1.0;

// The real clock, and downloads with the shortened limits; what they tell a person goes nowhere.
Environment ShortLimitsEnvironment() {
  return {&LocalNow,
          [](const char* url, DownloadReport& report) {
            return DownloadFeed(url, kTestLimits, &report);
          },
          {}};
}

bool NetworkIsIsolated() { return std::getenv("FEEDLINE_ISOLATED_NETWORK") != nullptr; }

// Where a fault comes from: a path on the feed server, or a special address.
struct FaultCase {
  std::string name;
  // "@/path", "@https" (TLS to a server that answers in plain text at once), "@silent",
  // "@unresolvable", "@not-http"
  std::string address;
  double secondsAtMost;
  std::string toldAs;  // what a person is told failed
};

class FaultMatrix : public testing::TestWithParam<FaultCase> {
 protected:
  std::string Resolve(const std::string& address) const {
    if (address == "@silent") return silent_.Url();
    if (address == "@not-http") return notHttp_.Url();
    if (address == "@unresolvable") return "http://feedline-fault-test.invalid/feed";
    // A server that speaks first: a plain HTTP server may wait for the whole TLS greeting as
    // for a request line, and then the handshake fails only by its time limit.
    if (address == "@https") return "https" + notHttp_.Url().substr(4);
    return server_.Url(address.substr(1));
  }

  // One call with refresh and rotation due on every call; returns the line and its duration.
  std::pair<std::string, double> Call(const std::string& url) {
    const auto start = std::chrono::steady_clock::now();
    std::string line = RunFetch(state_, {url.c_str(), "3", "0", "0"}, env_);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {line, took.count()};
  }

  FeedServer server_;
  SilentListener silent_;
  NotHttpServer notHttp_;
  FeedState state_ = MakeLoadedState(&LocalNow);
  Environment env_ = ShortLimitsEnvironment();
  std::vector<std::string> told_;
};

TEST_P(FaultMatrix, KeepsRotatingOverLastGoodDocumentWithinLimit) {
  const FaultCase& fault = GetParam();
  if (fault.address == "@unresolvable" && !NetworkIsIsolated()) {
    GTEST_SKIP() << "name lookups would leave the machine; ctest runs this in its own network";
  }
  env_.tell = [this](std::string_view line) { told_.emplace_back(line); };
  EXPECT_EQ(Call(server_.Url("/feed")).first, "two%lhttp://two");
  const std::string url = Resolve(fault.address);
  for (const char* expected : {"three%lhttp://three", "one%lhttp://one"}) {
    const auto [line, seconds] = Call(url);
    EXPECT_EQ(line, expected);
    EXPECT_LE(seconds, fault.secondsAtMost);
  }
  // The good download first; the failure last and once, though every fault fails the second
  // call the same way (the flaky server answers the first one whole).
  ASSERT_GE(told_.size(), 2u);
  EXPECT_EQ(told_[0], server_.Url("/feed") + ": HTTP 200, " +
                          std::to_string(kThreeItemFeed.size()) + " bytes, 3 items");
  const std::string failed = url + ": download failed: " + fault.toldAs + " (";
  EXPECT_EQ(told_.back().substr(0, failed.size()), failed) << told_.back();
  EXPECT_EQ(std::count_if(told_.begin(), told_.end(),
                          [](const std::string& line) {
                            return line.find("download failed") != std::string::npos;
                          }),
            1)
      << testing::PrintToString(told_);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultMatrix,
    testing::Values(
        FaultCase{"NeverAnswers", "@silent", kHang, "time limit reached"},
        FaultCase{"TricklesAByteASecond", "@/trickle", kHang, "time limit reached"},
        FaultCase{"DropsMidBody", "@/flaky", kQuick, "body shorter than its Content-Length"},
        FaultCase{"BodyOver64MiB", "@/huge", 5.0, "larger than 64 MiB"},
        FaultCase{"AnnouncesOver64MiB", "@/huge-announced", kQuick, "larger than 64 MiB"},
        FaultCase{"RedirectLoop", "@/loop", kQuick, "too many redirects"},
        FaultCase{"RedirectToFileAddress", "@/to-file", kQuick, "redirect to a non-http address"},
        FaultCase{"HttpsOnPlainPort", "@https", kQuick, "TLS handshake failed"},
        FaultCase{"NameDoesNotResolve", "@unresolvable", kQuick, "name not resolved"},
        FaultCase{"AnswersNotHttp", "@not-http", kQuick, "not an HTTP answer"}),
    [](const auto& info) { return info.param.name; });

// A file: address naming a FIFO would block the host's thread in open() for ever: it is a
// failed download at once.
TEST(SpecialFiles, FifoAddressFailsAtOnce) {
  char directory[] = "/tmp/feedline-fifo-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  const std::string fifo = std::string(directory) + "/feed";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  DownloadReport report;
  const auto start = std::chrono::steady_clock::now();
  const auto document = DownloadFeed(("file://" + fifo).c_str(), kTestLimits, &report);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  unlink(fifo.c_str());
  rmdir(directory);
  EXPECT_FALSE(document);
  EXPECT_EQ(report.failure, DownloadFailure::NotRegularFile);
  EXPECT_LT(took.count(), kQuick);
}

// A proxy named by http_proxy gets the request, absolute address and all.
TEST(Proxy, RequestGoesThroughConfiguredProxy) {
  FeedServer proxy;
  const std::string proxyUrl = proxy.Url("");
  setenv("http_proxy", proxyUrl.c_str(), 1);
  unsetenv("no_proxy");
  unsetenv("NO_PROXY");
  // Nothing listens at this loopback address: only the proxy can answer.
  const auto document = DownloadFeed("http://127.0.0.2:9/news.rss", kTestLimits);
  unsetenv("http_proxy");
  ASSERT_TRUE(document);
  EXPECT_EQ(*document, kThreeItemFeed);
  const auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].path, "http://127.0.0.2:9/news.rss");
}

// A proxy named by https_proxy is asked to CONNECT to the feed's host, and the TLS session runs
// through that tunnel: the certificate is still checked against the host name and the trusted
// CA, so a tunnel to a server with an untrusted certificate yields nothing.
TEST(Proxy, HttpsGoesThroughConnectTunnelAndIsStillVerified) {
  if (!HasPrivateMounts()) GTEST_SKIP() << TrustOnlyTestCa();
  ASSERT_EQ(TrustOnlyTestCa(), "");
  const TestCertificates& certificates = TestCertificates::Get();
  const struct {
    const TlsIdentity* identity;
    bool shown;
  } cases[] = {{&certificates.good, true}, {&certificates.selfSigned, false}};
  for (const auto& c : cases) {
    FeedServer server(c.identity);
    ConnectProxy proxy;
    setenv("https_proxy", proxy.Url().c_str(), 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    const auto document = DownloadFeed(server.Url("/feed").c_str(), kTestLimits);
    unsetenv("https_proxy");
    EXPECT_EQ(document, c.shown ? std::optional(kThreeItemFeed) : std::nullopt);
    const std::string connect = "CONNECT localhost:" + std::to_string(server.Port()) + " HTTP/1.1";
    EXPECT_EQ(proxy.RequestLines(), std::vector<std::string>{connect});
    EXPECT_EQ(server.Requests().size(), c.shown ? 1u : 0u);
  }
}

// Hundreds of failed refreshes: LeakSanitizer checks them in the sanitizer build, and the
// resident set must not grow in the plain one.
TEST(FaultMatrixRepeated, FailedRefreshesLeaveNothingBehind) {
  FeedServer server;
  const std::string faults[] = {server.Url("/flaky"), server.Url("/loop"),
                                server.Url("/to-file"), "https" + server.Url("/feed").substr(4),
                                UnreachableUrl()};
  FeedState state = MakeLoadedState(&LocalNow);
  const Environment env = ShortLimitsEnvironment();
  const std::string good = server.Url("/feed");
  RunFetch(state, {good.c_str(), "3", "0", "0"}, env);
  auto round = [&] {
    for (const auto& url : faults) {
      const std::string line = RunFetch(state, {url.c_str(), "3", "0", "0"}, env);
      ASSERT_NE(line, "") << url;
      ASSERT_NE(line, "%l") << url;
    }
  };
  for (int i = 0; i < 20; ++i) round();  // warm-up: caches and pools reach their size
  const long before = ProcessMemoryKiB();
  for (int i = 0; i < 200; ++i) round();
  const long grown = ProcessMemoryKiB() - before;
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(grown, 1024) << "KiB grown over 1000 failed refreshes";
#endif
  RecordProperty("resident_growth_kib", std::to_string(grown));
}

}  // namespace
}  // namespace feedline::test
