#include "host/feed_check.h"

#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "checker/check_report.h"
#include "host/display_text.h"
#include "host/plugin_instance.h"
#include "host/message_log.h"
#include "host/plugin_line_facts.h"
#include "plugin/download_outcome.h"

namespace feedline::host {
namespace {

// The "feedline: " lines the plug-in writes to standard error while `call` runs, caught in a
// temporary file (a pipe could fill up and block the call).
std::vector<std::string> PluginLinesDuring(const auto& call) {
  std::vector<std::string> lines;
  std::fflush(stderr);
  FILE* caught = std::tmpfile();
  const int saved = caught == nullptr ? -1 : dup(STDERR_FILENO);
  if (saved < 0) {
    call();
    return lines;
  }
  dup2(fileno(caught), STDERR_FILENO);
  call();
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::rewind(caught);
  std::string text;
  for (int c; (c = std::fgetc(caught)) != EOF;) {
    if (c != '\n') {
      text += static_cast<char>(c);
    } else {
      if (text.starts_with("feedline: ")) lines.push_back(text.substr(10));
      text.clear();
    }
  }
  std::fclose(caught);
  return lines;
}

}  // namespace

int CheckFeed(const std::string& url, const std::string& count,
              const feedline::PluginLibrary& plugin) {
  // Forced on here: the report is made of these lines. Intervals this long mean one download
  // and the first item.
  setenv("FEEDLINE_DEBUG", "1", 1);
  std::string line;
  const std::vector<std::string> told = PluginLinesDuring(
      [&] {
        const char* got = plugin.fetch(url.c_str(), count.c_str(), "2147483647", "2147483647");
        line = got != nullptr ? got : "";  // a plug-in of another make may return no text
      });
  const std::optional<PluginLineFacts> facts = ReadLineFacts(plugin);
  const ShownItem item = ToShownItem(line, 0, kEllipsis, facts ? &facts->text : nullptr);
  const ReportedItem first{item.title, item.link};
  std::fputs(CheckReport(url, told, first).c_str(), stdout);
  if (facts) {
    std::string encoding = facts->text.encoding + " (" + facts->encodingSource + ")";
    if (!facts->ignoredEncodings.empty()) encoding += "; not known: " + facts->ignoredEncodings;
    std::printf("encoding: %s\n", EscapeForLine(encoding).c_str());
  }
  return first.Empty() ? 1 : 0;
}

int CheckFeeds(const HostOptions& options,
               const std::vector<FeedArgument>& typed,
               const std::vector<std::string>& urls, const std::string& pluginPath,
               const feedline::PluginLibrary& first) {
  int code = 0;
  for (std::size_t i = 0; i < urls.size(); ++i) {
    if (i > 0) std::printf("\n");
    if (!typed[i].label.empty()) {
      std::printf("label:   %s\n", EscapeForLine(typed[i].label).c_str());
    }
    std::fflush(stdout);
    std::string error;
    std::unique_ptr<PluginInstance> further;
    if (i > 0) further = PluginInstance::Load(pluginPath, false, error);
    if (i > 0 && !further) {
      std::printf("address: %s\noutcome: %s\n", ShownAddress(urls[i]).c_str(),
                  EscapeForLine(error).c_str());
      code = 1;
      continue;
    }
    const auto& plugin = i == 0 ? first : further->Library();
    code = std::max(code, CheckFeed(urls[i], options.count, plugin));
  }
  std::printf("log:     %s (where a host named %s writes when its bar reads standard error)\n",
              LogPath(options.name).c_str(), options.name.c_str());
  return code;
}

}  // namespace feedline::host
