#include "checker/check_options.h"

#include "plugin/number_parse.h"

namespace feedline {

const char kCheckUsage[] =
    "Usage: feedline-check.exe [--dll PATH] URL [COUNT]\n"
    "\n"
    "Downloads the feed at URL once through feedline.dll, as a display program would, and\n"
    "says what came of it: the address, the plug-in's own words on the download, how many\n"
    "items it holds and the first item. COUNT is the number of news to display (default 5).\n"
    "\n"
    "  --dll PATH   the feedline.dll to use (default: the one in this program's folder)\n"
    "  --help       this text\n"
    "\n"
    "Exit code: 0 when an item can be shown, 1 when not, 2 for bad arguments.\n";

std::optional<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  CheckOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      options.help = true;
    } else if (arg == "--dll") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "--dll needs the path of a feedline.dll";
        return std::nullopt;
      }
      options.dll = args[++i];
    } else if (arg.starts_with("--")) {
      error = "unknown option: " + arg;
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.help) return options;
  if (positional.empty() || positional[0].empty()) {
    error = "no feed address given";
    return std::nullopt;
  }
  if (positional.size() > 2) {
    error = "unexpected argument: '" + positional[2] + "'";
    return std::nullopt;
  }
  options.url = positional[0];
  if (positional.size() == 2) options.count = positional[1];
  // Read as the plug-in reads it, as feedline-host --check does.
  if (!ParseInteger(options.count)) {
    error = "bad value for COUNT: '" + options.count + "' (an integer)";
    return std::nullopt;
  }
  return options;
}

}  // namespace feedline
