// feedline-host: loads the plug-in as a display host does and shows its rotating line in a
// terminal, a status bar or a file.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/click_input.h"
#include "host/display_text.h"
#include "host/feed_address.h"
#include "host/feed_check.h"
#include "host/host_options.h"
#include "host/install_paths.h"
#include "host/line_output.h"
#include "host/link_opener.h"
#include "host/plugin_library.h"
#include "host/state_file.h"
#include "plugin/number_parse.h"

namespace {

using feedline::host::HostOptions;

volatile sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

void Complain(const std::string& message) {
  std::fprintf(stderr, "feedline-host: %s\n", message.c_str());
}

// SIGTERM (a bar shutting down), SIGINT and SIGHUP end the loop; a closed reader shows up as
// EPIPE on the next write rather than as a signal.
void HandleSignals() {
  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

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

// Calls FetchRSS until a signal or a gone reader ends it, writing each new line.
int Run(const HostOptions& options, const std::string& url,
        feedline::host::PluginLibrary::FetchFn fetch) {
  feedline::host::LineOutput output(options.output);
  feedline::host::ClickInput clicks(options.format == feedline::host::BarFormat::I3blocks &&
                                    !options.once);
  std::string shown;
  feedline::host::ShownItem item;
  bool first = true;
  bool toldNothingToShow = false;
  // The state file's directory is made and checked once; each change only replaces the file.
  std::string stateError;
  const auto statePath = feedline::host::StateFilePath(options.name, stateError);
  if (!statePath) Complain("cannot record the shown link for --open: " + stateError);
  bool toldNoState = !statePath;
  while (!g_stop) {
    const char* line = fetch(url.c_str(), options.count.c_str(), options.updateMinutes.c_str(),
                             options.rotateSeconds.c_str());
    if (first || shown != line) {
      shown = line;
      first = false;
      item = feedline::host::ToShownItem(shown, options.maxWidth);
      std::string error;
      const auto result = output.Write(
          options.raw ? shown : FormatLine(options.format, item.title, item.link), error);
      if (result == feedline::host::WriteResult::ReaderGone) return 0;
      if (result == feedline::host::WriteResult::Failed) {
        Complain(error);
        return 1;
      }
      // Why is in the plug-in's own "feedline:" line on standard error, told once per change.
      if (item.Empty() && !toldNothingToShow) Complain("no item can be shown yet");
      toldNothingToShow = item.Empty();
      if (statePath && !feedline::host::WriteShownLink(*statePath, item.link) && !toldNoState) {
        Complain("cannot record the shown link for --open");
        toldNoState = true;
      }
    }
    if (options.once) break;
    clicks.Wait(options.pollSeconds, g_stop, [&](int button) {
      std::string error;
      if (button == 1 && !feedline::host::OpenLink(options.openWith, item.link, error)) {
        Complain(error);
      }
    });
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
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

  const std::string typed =
      options->url.empty() ? feedline::host::SampleFeedPath() : options->url;
  const auto url = feedline::host::FeedAddress(typed, error);
  if (!url) {
    Complain(error);
    return 2;
  }
  // The plug-in says why a line is empty on standard error (a bar's log) when asked; a user's
  // own FEEDLINE_DEBUG, 0 included, is kept.
  setenv("FEEDLINE_DEBUG", "1", 0);
  feedline::host::PluginLibrary plugin;
  const std::string pluginPath =
      options->plugin.empty() ? feedline::host::PluginPath() : options->plugin;
  if (!plugin.Load(pluginPath, error)) {
    Complain(error);
    return 1;
  }
  const char* functions = plugin.init();
  const char* labels = plugin.getparam("FetchRSS");
  if (options->describe) {
    std::printf("functions: %s\nFetchRSS parameters: %s\n", functions, labels);
    return 0;
  }
  if (options->check) return feedline::host::CheckFeed(*url, options->count, plugin.fetch);
  HandleSignals();
  WarnAboutSettings(*options);
  return Run(*options, *url, plugin.fetch);
}
