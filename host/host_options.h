#pragma once

#include <optional>
#include <string>
#include <vector>

namespace feedline::host {

struct HostOptions {
  std::string plugin;  // path of feedline.so; empty: beside the host executable
  std::string url;
  std::string count = "5";
  std::string updateMinutes = "30";
  std::string rotateSeconds = "10";
  double pollSeconds = 1.0;
  bool once = false;
  bool describe = false;
  bool raw = false;
  bool help = false;
};

// Parses the command line; on a bad argument returns nothing and sets `error` to one line.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            const std::string& defaultUrl, std::string& error);

extern const char kUsage[];

}  // namespace feedline::host
