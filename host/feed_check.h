#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/plugin_library.h"

namespace feedline::host {

// The number of items an outcome line of the plug-in names ("..., 3 items", "..., 1 item",
// "..., no items: ..."); nothing when the line names none (a failed download).
std::optional<std::uint64_t> ItemsInOutcome(std::string_view outcome);

// feedline-host --check: one download through the plug-in, then a short report for a person on
// standard output: the address, what the plug-in said of the download, the number of items and
// the first item as it would be shown. Returns the exit code: 0 when an item can be shown.
int CheckFeed(const std::string& url, const std::string& count,
              feedline::PluginLibrary::FetchFn fetch);

}  // namespace feedline::host
