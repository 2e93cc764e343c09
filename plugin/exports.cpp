#include "plugin/exports.h"

#include <string_view>

#include "download/download_feed.h"
#include "plugin/diagnostics.h"
#include "plugin/feed_state.h"
#include "plugin/fetch_call.h"

namespace {

constexpr char kFunctionList[] = "FetchRSS";
constexpr char kParamDescription[] =
    "RSS Feed URL|number of news to display(1-10)|Update Interval (in minutes)|"
    "Rotate Interval (in seconds)|";
constexpr char kEmptyText[] = "";

const feedline::Environment& RealEnvironment() {
  static const feedline::Environment env{
      &feedline::LocalNow,
      [](const char* url, feedline::DownloadReport& report) {
        return feedline::DownloadFeed(url, {}, &report);
      },
      &feedline::TellPerson};
  return env;
}

}  // namespace

extern "C" const char* init() noexcept { return kFunctionList; }

extern "C" const char* FEEDLINE_CALL getparam(const char* name) noexcept {
  const std::string_view asked = name == nullptr ? std::string_view{} : std::string_view{name};
  return asked == kFunctionList ? kParamDescription : kEmptyText;
}

extern "C" const char* FEEDLINE_CALL FetchRSS(const char* url, const char* count,
                                              const char* updateMinutes,
                                              const char* rotateSeconds) noexcept {
  feedline::FeedState* state = feedline::CurrentState();
  if (state == nullptr) return kEmptyText;
  try {
    return feedline::RunFetch(*state, {url, count, updateMinutes, rotateSeconds},
                              RealEnvironment());
  } catch (...) {
    // Nothing may unwind into the host: show whatever line is current.
    return feedline::CurrentLine(*state);
  }
}
