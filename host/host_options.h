#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/bar_formats.h"
#include "host/display_text.h"
#include "host/feed_arguments.h"

namespace feedline::host {

struct HostOptions {
  std::string plugin;  // path of feedline.so; empty: found beside the host (see plugin_path)
  std::string url;     // the first feed's address as typed; empty: the bundled sample feed
  std::vector<FeedArgument> feeds;  // every feed in the order typed; empty: the sample feed
  // The numbers after the last address, for every feed.
  std::string count = "5";
  std::string updateMinutes = "30";
  std::string rotateSeconds = "10";
  double pollSeconds = 1.0;
  BarFormat format = BarFormat::Plain;
  int maxWidth = 0;           // 0: no limit
  std::string ellipsis = kEllipsis;  // what a cut title ends in
  std::string name = "default";  // which state file records the shown link
  std::string openWith = "xdg-open";
  std::string output;         // empty: standard output
  bool once = false;
  bool describe = false;
  bool raw = false;
  bool open = false;
  bool check = false;
  bool help = false;
  bool version = false;
};

// Parses the command line; on a bad argument returns nothing and sets `error` to one line.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            std::string& error);

extern const char kUsage[];

}  // namespace feedline::host
