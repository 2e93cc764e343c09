#include "host/feed.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <future>
#include <system_error>

#include "host/display_text.h"
#include "host/told_lines.h"
#include "plugin/download_outcome.h"

namespace feedline::host {
namespace {

// Rotation intervals passed to the plug-in: one that has always passed and one that never does.
constexpr char kMoveOn[] = "0";
constexpr char kStay[] = "2147483647";

}  // namespace

Feed::Feed(FeedArgument typed, std::string url, std::unique_ptr<PluginInstance> plugin)
    : label_(std::move(typed.label)),
      url_(std::move(url)),
      shownAddress_(feedline::ShownAddress(url_)),
      name_(label_.empty() ? shownAddress_ : label_),
      plugin_(std::move(plugin)) {}

Feed::~Feed() {
  handover_.AskToStop();
  if (thread_.joinable()) thread_.join();
}

bool Feed::Start(const FeedNumbers& numbers, int wakeFd, std::string& error) {
  std::promise<void> ready;
  std::future<void> started = ready.get_future();
  // The thread starts with every signal blocked, so that a stop signal reaches the main
  // thread's wait, never a feed's thread.
  sigset_t all;
  sigset_t before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  try {
    thread_ = std::thread([this, numbers, wakeFd, ready = std::move(ready)]() mutable {
      ToldLines told;
      ready.set_value();
      handover_.AskForPoll();
      while (const auto advance = handover_.WaitForRequest()) {
        const auto& library = plugin_->Library();
        const char* got = library.fetch(url_.c_str(), numbers.count.c_str(),
                                        numbers.updateMinutes.c_str(), *advance ? kMoveOn : kStay);
        FeedCall call;
        call.line = got != nullptr ? got : "";  // a plug-in of another make may return no text
        call.facts = ReadLineFacts(library);
        call.told = told.Take();
        handover_.Deliver(std::move(call));
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto woken = write(wakeFd, &one, sizeof one);
      }
    });
  } catch (const std::system_error& failure) {
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    error = name_ + ": no thread for the feed: " + failure.what();
    return false;
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  // The main thread opens nothing (a record's temporary file, the log) until the thread has its
  // own file table, so that no such file stays open in the copy.
  started.wait();
  return true;
}

FeedLine Feed::Classify(const LineHandover::View& view) {
  if (!view.answered || view.advancePending) return FeedLine::NotReady;
  if (view.line != classifiedLine_ || classified_ == FeedLine::NotReady) {
    classifiedLine_ = view.line;
    classified_ = view.line.empty() ? FeedLine::NoDocument
                  : ToShownItem(view.line, 0, kEllipsis, view.facts ? &view.facts->text : nullptr)
                          .Empty()
                      ? FeedLine::EmptyPosition
                      : FeedLine::Item;
  }
  return classified_;
}

}  // namespace feedline::host
