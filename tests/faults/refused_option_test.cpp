// An older libcurl refuses options it does not know and carries on without them. This program
// stands in for such a libcurl: it defines curl_easy_setopt itself (the executable's definition
// wins over the shared library's), refuses the one option a case names and passes every other
// one on to the real libcurl. A download whose policy option is refused must fail and say which.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "download/download_feed.h"
#include "tests/integration/feed_server.h"

namespace {
CURLoption refusedOption = static_cast<CURLoption>(0);  // 0: none refused
}  // namespace

// Forwards each option with the type its number says it takes.
extern "C" CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
  using Setopt = CURLcode (*)(CURL*, CURLoption, ...);
  static const auto real = reinterpret_cast<Setopt>(dlsym(RTLD_NEXT, "curl_easy_setopt"));
  if (option == refusedOption) return CURLE_UNKNOWN_OPTION;
  va_list args;
  va_start(args, option);
  CURLcode result;
  if (option < CURLOPTTYPE_OBJECTPOINT) {
    result = real(handle, option, va_arg(args, long));
  } else if (option < CURLOPTTYPE_FUNCTIONPOINT) {
    result = real(handle, option, va_arg(args, void*));
  } else if (option < CURLOPTTYPE_OFF_T) {
    result = real(handle, option, va_arg(args, void (*)()));
  } else if (option < CURLOPTTYPE_BLOB) {
    result = real(handle, option, va_arg(args, curl_off_t));
  } else {
    result = real(handle, option, va_arg(args, void*));
  }
  va_end(args);
  return result;
}

namespace feedline::test {
namespace {

struct RefusedCase {
  const char* name;
  CURLoption option;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedOption : public testing::TestWithParam<RefusedCase> {
 protected:
  void TearDown() override { refusedOption = static_cast<CURLoption>(0); }
  FeedServer server_;
};

TEST(RefusedOptionBaseline, EveryOptionTakenDownloads) {
  FeedServer server;
  DownloadReport report;
  EXPECT_EQ(DownloadFeed(server.Url("/feed").c_str(), {}, &report), kThreeItemFeed);
  EXPECT_TRUE(report.complete) << FailurePhrase(report.failure);
}

TEST_P(RefusedOption, FailsTheDownloadAndSaysWhich) {
  refusedOption = GetParam().option;
  DownloadReport report;
  EXPECT_EQ(DownloadFeed(server_.Url("/feed").c_str(), {}, &report), std::nullopt);
  EXPECT_FALSE(report.complete);
  EXPECT_EQ(report.failure, DownloadFailure::OptionRefused);
  EXPECT_EQ(report.detail.rfind(std::string(GetParam().name) + ": ", 0), 0u) << report.detail;
  EXPECT_TRUE(server_.Requests().empty()) << "the transfer ran without its policy";
}

INSTANTIATE_TEST_SUITE_P(
    Policy, RefusedOption,
    testing::Values(RefusedCase{"CURLOPT_PROTOCOLS_STR", CURLOPT_PROTOCOLS_STR},
                    RefusedCase{"CURLOPT_REDIR_PROTOCOLS_STR", CURLOPT_REDIR_PROTOCOLS_STR},
                    RefusedCase{"CURLOPT_FOLLOWLOCATION", CURLOPT_FOLLOWLOCATION},
                    RefusedCase{"CURLOPT_MAXREDIRS", CURLOPT_MAXREDIRS},
                    RefusedCase{"CURLOPT_CONNECTTIMEOUT_MS", CURLOPT_CONNECTTIMEOUT_MS},
                    RefusedCase{"CURLOPT_TIMEOUT_MS", CURLOPT_TIMEOUT_MS},
                    RefusedCase{"CURLOPT_MAXFILESIZE_LARGE", CURLOPT_MAXFILESIZE_LARGE},
                    RefusedCase{"CURLOPT_SSL_VERIFYPEER", CURLOPT_SSL_VERIFYPEER},
                    RefusedCase{"CURLOPT_SSL_VERIFYHOST", CURLOPT_SSL_VERIFYHOST},
                    RefusedCase{"CURLOPT_NOSIGNAL", CURLOPT_NOSIGNAL}),
    [](const testing::TestParamInfo<RefusedCase>& info) {
      return std::string(info.param.name).substr(8);  // without "CURLOPT_"
    });

}  // namespace
}  // namespace feedline::test
