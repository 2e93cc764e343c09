#include "host/host_options.h"

#include <charconv>
#include <cmath>

#include "host/display_text.h"
#include "host/state_file.h"
#include "plugin/number_parse.h"

namespace feedline::host {

const char kUsage[] =
    "usage: feedline-host [options] [[LABEL=]URL... [COUNT [UPDATE_MINUTES [ROTATE_SECONDS]]]]\n"
    "       feedline-host --open [--name NAME] [--open-with PROGRAM]\n"
    "       feedline-host --check [[LABEL=]URL... [COUNT]]\n"
    "Shows a rotating news line from a feed, one line each time it changes.\n"
    "  URL                 feed address or file (default: the bundled sample feed); with several,\n"
    "                      the line takes each feed's next item in turn (at most 50 feeds)\n"
    "  LABEL=              a short name shown before the feed's titles: 1 to 32 characters\n"
    "                      without '=', ':' or '/'\n"
    "  COUNT               number of items to cycle through, per feed (default 5)\n"
    "  UPDATE_MINUTES      refresh interval in minutes (default 30)\n"
    "  ROTATE_SECONDS      rotation interval in seconds (default 10)\n"
    "  --format NAME       plain (default), json, tmux, polybar, waybar or i3blocks\n"
    "  --max-width COLUMNS cut the title to this many terminal columns, ending in '…'\n"
    "  --ellipsis TEXT     what a cut title ends in instead of '…' (e.g. '...' for a font\n"
    "                      without it); may be empty\n"
    "  --output FILE       replace FILE with the current line instead of printing it\n"
    "  --name NAME         which shown link --open opens (default: default)\n"
    "  --open              open the link of the item a running host shows, then exit\n"
    "  --open-with PROGRAM program that opens links (default: xdg-open)\n"
    "  --check             download the feed once and say what came of it; exit 0 when an\n"
    "                      item can be shown, 1 when not\n"
    "  --poll SECONDS      how often to ask the plug-in (default 1)\n"
    "  --once              print the first line and exit\n"
    "  --raw               print the exact bytes returned (title%llink)\n"
    "  --describe          print the function list and parameter labels and exit\n"
    "  --plugin PATH       the plug-in to load (default: the installed feedline.so)\n"
    "  --version           print the version and exit\n"
    "  --help              print this help and exit\n"
    "Messages go to standard error; where that is the bar's content (the same pipe as standard\n"
    "output, or --format polybar) they go to $XDG_STATE_HOME/feedline/NAME.log instead\n"
    "(~/.local/state/feedline/NAME.log), which moves to NAME.log.1 at 256 KiB.\n";

namespace {

bool ParsePoll(const std::string& text, double& seconds) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seconds);
  // Below 10 ms the loop would keep a core busy for nothing a bar can show.
  return error == std::errc{} && stop == end && std::isfinite(seconds) && seconds >= 0.01 &&
         seconds <= 86400;
}

bool ParseColumns(const std::string& text, int& columns) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, columns);
  return error == std::errc{} && stop == end && columns >= 1 && columns <= 10000;
}

bool TakesValue(const std::string& arg) {
  return arg == "--poll" || arg == "--plugin" || arg == "--format" || arg == "--max-width" ||
         arg == "--output" || arg == "--name" || arg == "--open-with" || arg == "--ellipsis";
}

// Applies an option that takes a value; false with `error` set when the value is bad.
bool ApplyValue(const std::string& option, const std::string& value, HostOptions& options,
                std::string& error) {
  if (option == "--poll") {
    if (ParsePoll(value, options.pollSeconds)) return true;
    error = "bad value for --poll: '" + value + "' (seconds, from 0.01 to 86400)";
  } else if (option == "--max-width") {
    if (ParseColumns(value, options.maxWidth)) return true;
    error = "bad value for --max-width: '" + value + "' (columns, 1 or more)";
  } else if (option == "--ellipsis") {
    // Shown as it is after every title that is cut: display text only, short.
    if (value.size() <= 16 && DisplayText(value) == value) {
      options.ellipsis = value;
      return true;
    }
    error = "bad value for --ellipsis: '" + value + "' (at most 16 bytes of plain text)";
  } else if (option == "--format") {
    if (const auto format = ParseBarFormat(value)) {
      options.format = *format;
      return true;
    }
    error = "unknown format: '" + value + "' (" + kBarFormatNames + ")";
  } else if (option == "--name") {
    if (IsValidStateName(value)) {
      options.name = value;
      return true;
    }
    error = "bad value for --name: '" + value + "' (letters, digits, '.', '_' and '-')";
  } else if (option == "--plugin" || option == "--output" || option == "--open-with") {
    if (!value.empty()) {
      (option == "--plugin" ? options.plugin
                            : option == "--output" ? options.output : options.openWith) = value;
      return true;
    }
    error = "empty value for " + option;
  }
  return false;
}

}  // namespace

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& args,
                                            std::string& error) {
  HostOptions options;
  // Addresses first, then the numbers; the first argument is always an address.
  std::string* numbers[] = {&options.count, &options.updateMinutes, &options.rotateSeconds};
  std::size_t nextNumber = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (TakesValue(arg)) {
      if (i + 1 >= args.size()) {
        error = "missing value for " + arg;
        return std::nullopt;
      }
      if (!ApplyValue(arg, args[++i], options, error)) return std::nullopt;
    } else if (arg == "--once") {
      options.once = true;
    } else if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--describe") {
      options.describe = true;
    } else if (arg == "--open") {
      options.open = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      error = "unknown option: " + arg;
      return std::nullopt;
    } else if (options.feeds.empty() ||
               (nextNumber == 0 && !ParseInteger(arg) && IsFurtherFeed(arg))) {
      options.feeds.push_back(ReadFeedArgument(arg));
    } else if (nextNumber > 0 && !ParseInteger(arg) && IsFurtherFeed(arg)) {
      error = "'" + arg + "' after the numbers: every URL comes before COUNT";
      return std::nullopt;
    } else if (nextNumber < std::size(numbers)) {
      *numbers[nextNumber++] = arg;
    } else {
      error = "unexpected argument: '" + arg + "'";
      return std::nullopt;
    }
  }
  if (options.feeds.size() > kMaxFeeds) {
    error = "too many feeds: " + std::to_string(options.feeds.size()) + " (at most " +
            std::to_string(kMaxFeeds) + ")";
    return std::nullopt;
  }
  if (!options.feeds.empty()) options.url = options.feeds.front().address;
  const char* names[] = {"COUNT", "UPDATE_MINUTES", "ROTATE_SECONDS"};
  for (std::size_t i = 0; i < std::size(numbers); ++i) {
    if (!ParseInteger(*numbers[i])) {
      error = std::string("bad value for ") + names[i] + ": '" + *numbers[i] + "' (an integer)";
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace feedline::host
