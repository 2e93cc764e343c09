#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/plugin_line_facts.h"

namespace feedline::host {

// What a feed's thread hands the main loop after a FetchRSS call.
struct FeedCall {
  std::string line;                      // what FetchRSS returned
  std::optional<PluginLineFacts> facts;  // the plug-in's facts of it, read right after
  std::vector<std::string> told;         // what the plug-in wrote to standard error meanwhile
};

// The one place where a feed's thread and the main loop meet: the loop asks for calls (a poll,
// or a call that moves the feed to its next item) and takes what the calls gave; the thread waits
// for a request, makes the call and hands over its result. Neither side ever waits for the
// other's call, only for the lock around these few fields.
class LineHandover {
 public:
  // The state of the feed as the loop sees it.
  struct View {
    bool answered = false;        // a call has ended since the feed started
    bool busy = false;            // a call is running (a download may make it long)
    bool advancePending = false;  // a move to the next item is asked for and not yet made
    std::string line;             // the last call's line
    std::optional<PluginLineFacts> facts;
    std::vector<std::string> told;  // lines told since the last Take
  };

  // Main loop's side. A poll asked for while one waits is the same poll.
  void AskForPoll();
  void AskForAdvance();
  void AskToStop();
  View Take();

  // The feed thread's side: waits for a request; nothing once asked to stop. `advance` says
  // whether the call is to move to the next item.
  std::optional<bool> WaitForRequest();
  void Deliver(FeedCall call);

 private:
  std::mutex mutex_;
  std::condition_variable requested_;
  bool pollWanted_ = false;
  bool advanceWanted_ = false;
  bool stop_ = false;
  bool busy_ = false;
  bool busyAdvancing_ = false;
  bool answered_ = false;
  FeedCall last_;
};

}  // namespace feedline::host
