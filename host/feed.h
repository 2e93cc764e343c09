#pragma once

#include <memory>
#include <string>
#include <thread>

#include "host/feed_arguments.h"
#include "host/line_handover.h"
#include "host/plugin_instance.h"
#include "host/turn_scheduler.h"

namespace feedline::host {

// The numbers every feed is called with.
struct FeedNumbers {
  std::string count;
  std::string updateMinutes;
};

// One feed of a host with several: its plug-in instance, its address and label, its last line,
// and whether it is downloading. Its FetchRSS calls run on a thread of its own, since any call
// may download for up to a minute; the main loop asks for calls and takes their lines through
// the feed's handover. The loop, not the plug-in, decides when the feed moves on: a poll passes
// a rotation interval that never passes, a move to the next item one of 0.
class Feed {
 public:
  Feed(FeedArgument typed, std::string url, std::unique_ptr<PluginInstance> plugin);
  // Asks the thread to stop and waits for it: only for a feed whose call cannot be long.
  ~Feed();
  Feed(const Feed&) = delete;
  Feed& operator=(const Feed&) = delete;

  // Starts the thread, which makes the first call at once; once this returns, the thread has
  // its own standard error. Each ended call writes to `wakeFd` (an eventfd). False with `error`
  // set when the system gives no thread.
  bool Start(const FeedNumbers& numbers, int wakeFd, std::string& error);

  const std::string& Label() const { return label_; }
  // How messages name the feed: its label, or its address without credentials.
  const std::string& Name() const { return name_; }
  const std::string& ShownAddress() const { return shownAddress_; }

  LineHandover& Handover() { return handover_; }

  // What the feed has for its turn, given what the handover last showed of it.
  FeedLine Classify(const LineHandover::View& view);

 private:
  void Work(const FeedNumbers& numbers, int wakeFd);

  const std::string label_;
  const std::string url_;
  const std::string shownAddress_;
  const std::string name_;
  std::unique_ptr<PluginInstance> plugin_;
  LineHandover handover_;
  std::thread thread_;
  // The last line classified and its class: a line is read once, not at every poll.
  std::string classifiedLine_;
  FeedLine classified_ = FeedLine::NotReady;
};

}  // namespace feedline::host
