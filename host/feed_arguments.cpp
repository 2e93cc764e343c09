#include "host/feed_arguments.h"

#include <utf8proc.h>

namespace feedline::host {
namespace {

inline constexpr std::size_t kMaxLabelCharacters = 32;

bool IsLabel(std::string_view text) {
  std::size_t characters = 0;
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  for (std::size_t at = 0; at < text.size(); ++characters) {
    utf8proc_int32_t point = 0;
    const auto length = utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at),
                                         &point);
    if (length <= 0 || point == '=' || point == ':' || point == '/' ||
        utf8proc_category(point) == UTF8PROC_CATEGORY_CC) {
      return false;
    }
    at += static_cast<std::size_t>(length);
  }
  return characters >= 1 && characters <= kMaxLabelCharacters;
}

}  // namespace

FeedArgument ReadFeedArgument(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  if (equals == std::string_view::npos || equals + 1 == arg.size() ||
      !IsLabel(arg.substr(0, equals))) {
    return {{}, std::string(arg)};
  }
  return {std::string(arg.substr(0, equals)), std::string(arg.substr(equals + 1))};
}

bool IsFurtherFeed(std::string_view arg) {
  if (!ReadFeedArgument(arg).label.empty()) return true;
  if (arg.find_first_of("/:") != std::string_view::npos) return true;
  // "1.5" and "-2.5" are numbers written wrongly, and are said to be so, not taken for files.
  const bool numberLike = !arg.empty() && std::string_view("0123456789+-$ ").find(arg[0]) !=
                                              std::string_view::npos;
  return !numberLike && arg.find('.') != std::string_view::npos;
}

}  // namespace feedline::host
