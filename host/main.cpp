// feedline-host: loads the plug-in as a display host does and shows its rotating line in a
// terminal, a status bar or a file.
#include <errno.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/click_input.h"
#include "host/display_text.h"
#include "host/feed.h"
#include "host/feed_address.h"
#include "host/feed_check.h"
#include "host/host_options.h"
#include "host/install_paths.h"
#include "host/line_output.h"
#include "host/line_shower.h"
#include "host/link_opener.h"
#include "host/message_log.h"
#include "host/plugin_instance.h"
#include "host/plugin_line_facts.h"
#include "host/told_lines.h"
#include "host/turn_scheduler.h"
#include "common/plugin_library.h"
#include "host/state_file.h"
#include "host/stop_signals.h"
#include "plugin/download_outcome.h"
#include "plugin/number_parse.h"

namespace {

using feedline::host::Complain;
using feedline::host::ExitingOnStopSignal;
using feedline::host::g_stop;
using feedline::host::HandleSignals;
using feedline::host::HostOptions;
using feedline::host::LineShower;

int OpenShownLink(const HostOptions& options) {
  std::string error;
  const auto link = feedline::host::ReadShownLink(options.name, error);
  if (!link || !feedline::host::OpenLink(options.openWith, *link, error)) {
    Complain(error);
    return 1;
  }
  return 0;
}

void WarnAboutSettings(const HostOptions& options) {
  const auto minutes = feedline::ParseInteger(options.updateMinutes);
  if (minutes && *minutes <= 0) {
    Complain("UPDATE_MINUTES is " + options.updateMinutes +
             ": the feed is downloaded again on every poll");
  }
}

// Calls FetchRSS until a signal or a gone reader ends it, showing each new line.
int Run(const HostOptions& options, const std::string& url, const std::string& label,
        const feedline::PluginLibrary& plugin, feedline::host::LineOutput output,
        const sigset_t& stopSignals, std::optional<feedline::host::MessageLog>& log) {
  WarnAboutSettings(options);
  LineShower shower(options, std::move(output));
  feedline::host::ClickInput clicks(options.format == feedline::host::BarFormat::I3blocks &&
                                    !options.once);
  std::string shown;
  bool first = true;
  bool toldNullLine = false;
  while (!g_stop) {
    const char* line = ExitingOnStopSignal([&] {
      return plugin.fetch(url.c_str(), options.count.c_str(), options.updateMinutes.c_str(),
                          options.rotateSeconds.c_str());
    });
    if (line == nullptr) {
      // A plug-in of another make may return no text at all: shown as an empty line.
      if (!toldNullLine) Complain("FetchRSS returned no text; shown as an empty line");
      toldNullLine = true;
      line = "";
    }
    if (first || shown != line) {
      shown = line;
      first = false;
      if (!shower.Show(shown, feedline::host::ReadLineFacts(plugin), label)) return 0;
    }
    // --once is one line: its exit code says whether the line was written.
    if (options.once) return shower.LastWriteFailed() ? 1 : 0;
    if (log) log->KeepBounded();
    const bool readerGone = clicks.Wait(
        options.pollSeconds, g_stop, stopSignals, shower.ToStandardOutput(), [&](int button) {
          std::string error;
          if (button == 1 &&
              !feedline::host::OpenLink(options.openWith, shower.Item().link, error)) {
            Complain(error);
          }
        });
    if (readerGone) return 0;
  }
  return 0;
}

// Says once per feed and reason why its turn went to the next feed.
class PassedTurns {
 public:
  explicit PassedTurns(std::size_t feeds) : told_(feeds) {}

  void Say(const feedline::host::Feed& feed, std::size_t index,
           feedline::host::PassReason reason, const std::string& count) {
    auto& told = told_[index][reason == feedline::host::PassReason::NoDocument ? 0 : 1];
    if (told) return;
    told = true;
    Complain(feedline::EscapeForLine(
        feed.Name() + ": " +
        (reason == feedline::host::PassReason::NoDocument
             ? "nothing to show: no download has delivered a document yet"
             : "a position without an item (the feed has fewer items than COUNT " + count +
                   ", or the document is not a feed)") +
        "; its turns go to the next feed meanwhile"));
  }

 private:
  std::vector<std::array<bool, 2>> told_;
};

// Several feeds: each calls its own plug-in instance on its own thread, and this loop only
// shows lines, so that no download holds up the line, a stop signal or a click. Whose turn it
// is comes from the scheduler; ROTATE_SECONDS is one turn (at least one poll).
int RunFeeds(const HostOptions& options, std::vector<std::unique_ptr<feedline::host::Feed>>& feeds,
             int wakeFd, feedline::host::LineOutput output, const sigset_t& stopSignals,
             std::optional<feedline::host::MessageLog>& log) {
  using Clock = feedline::host::TurnScheduler::Clock;
  WarnAboutSettings(options);
  const auto poll = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(options.pollSeconds));
  const auto rotate = std::chrono::duration_cast<Clock::duration>(
      std::chrono::seconds(std::max(0, *feedline::ParseInteger(options.rotateSeconds))));
  feedline::host::TurnScheduler scheduler(std::max(rotate, poll), poll);
  LineShower shower(options, std::move(output));
  feedline::host::ClickInput clicks(options.format == feedline::host::BarFormat::I3blocks &&
                                    !options.once);
  PassedTurns passed(feeds.size());
  std::vector<feedline::host::LineHandover::View> views(feeds.size());
  std::vector<feedline::host::FeedLine> lines(feeds.size());
  bool shownAny = false;
  auto nextPoll = Clock::now() + poll;  // each feed's thread makes its first call at start
  while (!g_stop) {
    const auto now = Clock::now();
    if (now >= nextPoll) {
      for (auto& feed : feeds) feed->Handover().AskForPoll();
      nextPoll = now + poll;
    }
    bool allAnswered = true;
    for (std::size_t i = 0; i < feeds.size(); ++i) {
      views[i] = feeds[i]->Handover().Take();
      for (const auto& told : views[i].told) {
        const std::string line =
            feedline::host::TaggedToldLine(feeds[i]->Label(), feeds[i]->ShownAddress(), told);
        std::fprintf(stderr, "%s\n", line.c_str());
      }
      lines[i] = feeds[i]->Classify(views[i]);
      allAnswered = allAnswered && views[i].answered;
    }
    const feedline::host::TurnDecision decision = scheduler.Decide(now, lines);
    for (const auto& [feed, reason] : decision.passed) {
      passed.Say(*feeds[feed], feed, reason, options.count);
    }
    for (const std::size_t feed : decision.advance) feeds[feed]->Handover().AskForAdvance();
    if (decision.turnStarts) {
      const auto& view = views[*decision.shown];
      if (!shower.Show(view.line, view.facts, feeds[*decision.shown]->Label())) return 0;
      shownAny = true;
    } else if (!decision.shown && !shownAny && allAnswered &&
               std::ranges::find(lines, feedline::host::FeedLine::Item) == lines.end()) {
      // The line blanks only when no feed has anything to show.
      if (!shower.Show("", std::nullopt, "")) return 0;
      shownAny = true;
    }
    if (options.once && shownAny) return shower.LastWriteFailed() ? 1 : 0;
    if (log) log->KeepBounded();
    // Until the next poll or the end of the turn, or sooner when a feed's call ends.
    auto until = nextPoll;
    if (const auto turnEnds = scheduler.TurnEnds(); turnEnds && *turnEnds > now) {
      until = std::min(until, *turnEnds);
    }
    const double seconds = std::chrono::duration<double>(until - Clock::now()).count();
    const bool readerGone = clicks.Wait(
        std::max(seconds, 0.0), g_stop, stopSignals, shower.ToStandardOutput(),
        [&](int button) {
          std::string error;
          if (button == 1 &&
              !feedline::host::OpenLink(options.openWith, shower.Item().link, error)) {
            Complain(error);
          }
        },
        wakeFd);
    if (readerGone) return 0;
  }
  return 0;
}

}  // namespace

int RunHost(int argc, char** argv) {
  std::string error;
  const auto options =
      feedline::host::ParseHostOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    Complain(error);
    return 2;
  }
  if (options->help) {
    std::fputs(feedline::host::kUsage, stdout);
    return 0;
  }
  if (options->version) {
    std::printf("feedline-host %s\n", FEEDLINE_VERSION);
    return 0;
  }
  if (options->open) return OpenShownLink(*options);
  // Before anything else is said: no message may reach a bar as content.
  std::optional<feedline::host::MessageLog> log;
  const bool showsLines = !options->check && !options->describe && options->output.empty();
  if (showsLines && feedline::host::MessagesWouldReachContent(options->format)) {
    log.emplace(options->name);
  }

  // Every address is checked before anything is loaded or downloaded.
  std::vector<feedline::host::FeedArgument> typed = options->feeds;
  if (typed.empty()) typed.push_back({"", feedline::host::SampleFeedPath()});
  std::vector<std::string> urls;
  for (const auto& feed : typed) {
    const auto url = feedline::host::FeedAddress(feed.address, error);
    if (!url) {
      Complain(error);
      return 2;
    }
    urls.push_back(*url);
  }
  // The plug-in says why a line is empty on standard error (a bar's log) when asked; a user's
  // own FEEDLINE_DEBUG, 0 included, is kept.
  setenv("FEEDLINE_DEBUG", "1", 0);
  const std::string pluginPath =
      options->plugin.empty() ? feedline::host::PluginPath() : options->plugin;
  std::vector<std::unique_ptr<feedline::host::PluginInstance>> instances;
  instances.push_back(feedline::host::PluginInstance::Load(pluginPath, true, error));
  if (!instances.front()) {
    Complain(error);
    return 1;
  }
  const feedline::PluginLibrary& plugin = instances.front()->Library();
  const char* functions = plugin.init();
  const char* labels = plugin.getparam("FetchRSS");
  if (functions == nullptr || labels == nullptr) {
    Complain(pluginPath + ": init or getparam returned no text; not a usable plug-in");
    return 1;
  }
  if (options->describe) {
    std::printf("functions: %s\nFetchRSS parameters: %s\n", functions, labels);
    return 0;
  }
  if (options->check) {
    return feedline::host::CheckFeeds(*options, typed, urls, pluginPath, plugin);
  }
  // One further instance per further feed, each a state of its own.
  for (std::size_t i = 1; i < urls.size(); ++i) {
    instances.push_back(feedline::host::PluginInstance::Load(pluginPath, false, error));
    if (!instances.back()) {
      Complain(error);
      return 1;
    }
  }
  auto output = feedline::host::LineOutput::Open(options->output, error);
  if (!output) {
    Complain(error);
    return 2;
  }
  const sigset_t stopSignals = HandleSignals();
  if (urls.size() == 1) {
    return Run(*options, urls.front(), typed.front().label, plugin, std::move(*output),
               stopSignals, log);
  }
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) {
    Complain(std::string("cannot wait for several feeds: ") + std::strerror(errno));
    return 1;
  }
  std::vector<std::unique_ptr<feedline::host::Feed>> feeds;
  const feedline::host::FeedNumbers numbers{options->count, options->updateMinutes};
  for (std::size_t i = 0; i < urls.size(); ++i) {
    feeds.push_back(std::make_unique<feedline::host::Feed>(typed[i], urls[i],
                                                           std::move(instances[i])));
    if (!feeds.back()->Start(numbers, wakeFd, error)) {
      Complain(error);
      std::fflush(stdout);
      _exit(1);
    }
  }
  const int code = RunFeeds(*options, feeds, wakeFd, std::move(*output), stopSignals, log);
  // A feed's thread may be inside a download that nothing can cut short: the process ends
  // without waiting for it, and without unloading a plug-in under it.
  std::fflush(stdout);
  _exit(code);
}

// Nothing the host did not foresee (no memory, no random device) ends it with abort inside a
// bar: one line says what, and the exit code says it failed.
int main(int argc, char** argv) {
  try {
    return RunHost(argc, argv);
  } catch (const std::exception& failure) {
    Complain(std::string("stopped: ") + failure.what());
  } catch (...) {
    Complain("stopped: an unknown error");
  }
  return 1;
}
