#include "host/host_options.h"

#include <charconv>
#include <cmath>

#include "plugin/number_parse.h"

namespace feedline::host {

const char kUsage[] =
    "usage: feedline-host [options] [URL [COUNT [UPDATE_MINUTES [ROTATE_SECONDS]]]]\n"
    "Shows a rotating news line from a feed, one line each time it changes.\n"
    "  URL              feed address (default: the bundled sample feed)\n"
    "  COUNT            number of items to cycle through (default 5)\n"
    "  UPDATE_MINUTES   refresh interval in minutes (default 30)\n"
    "  ROTATE_SECONDS   rotation interval in seconds (default 10)\n"
    "  --poll SECONDS   how often to ask the plug-in (default 1)\n"
    "  --once           print the first line and exit\n"
    "  --raw            print the exact bytes returned (title%llink)\n"
    "  --describe       print the function list and parameter labels and exit\n"
    "  --plugin PATH    the plug-in to load (default: feedline.so beside this program)\n";

namespace {

bool ParsePoll(const std::string& text, double& seconds) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seconds);
  return error == std::errc{} && stop == end && std::isfinite(seconds) && seconds > 0 &&
         seconds <= 86400;
}

}  // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            const std::string& defaultUrl, std::string& error) {
  HostOptions options;
  options.url = defaultUrl;
  std::string* positional[] = {&options.url, &options.count, &options.updateMinutes,
                               &options.rotateSeconds};
  std::size_t nextPositional = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--poll" || arg == "--plugin";
    if (takesValue && i + 1 >= args.size()) {
      error = "missing value for " + arg;
      return std::nullopt;
    }
    if (arg == "--poll") {
      if (!ParsePoll(args[++i], options.pollSeconds)) {
        error = "bad value for --poll: '" + args[i] + "' (seconds, more than 0)";
        return std::nullopt;
      }
    } else if (arg == "--plugin") {
      options.plugin = args[++i];
    } else if (arg == "--once") {
      options.once = true;
    } else if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--describe") {
      options.describe = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      error = "unknown option: " + arg;
      return std::nullopt;
    } else if (nextPositional < std::size(positional)) {
      *positional[nextPositional++] = arg;
    } else {
      error = "unexpected argument: '" + arg + "'";
      return std::nullopt;
    }
  }
  const char* names[] = {"URL", "COUNT", "UPDATE_MINUTES", "ROTATE_SECONDS"};
  for (std::size_t i = 1; i < std::size(positional); ++i) {
    if (!ParseInteger(*positional[i])) {
      error = std::string("bad value for ") + names[i] + ": '" + *positional[i] + "' (an integer)";
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace feedline::host
