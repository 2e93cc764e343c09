#pragma once

#include <optional>
#include <string>

namespace feedline::host {

// The address to pass to the plug-in for what the user typed: an address with a scheme as it
// is; a path to an existing file as an absolute, percent-encoded file:// URL. Nothing (and
// `error` set) for text that is neither.
std::optional<std::string> FeedAddress(const std::string& typed, std::string& error);

}  // namespace feedline::host
