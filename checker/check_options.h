#pragma once

#include <optional>
#include <string>
#include <vector>

namespace feedline {

// feedline-check.exe's command line: [--dll PATH] URL [COUNT].
struct CheckOptions {
  std::string dll;  // empty: feedline.dll in the checker's own folder
  std::string url;
  std::string count = "5";
  bool help = false;
};

// Parses the arguments after the program name; on a bad one returns nothing with `error` set.
std::optional<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args,
                                              std::string& error);

extern const char kCheckUsage[];

}  // namespace feedline
