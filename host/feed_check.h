#pragma once

#include <string>

#include "common/plugin_library.h"

namespace feedline::host {

// feedline-host --check: one download through the plug-in, then a short report for a person on
// standard output: the address, what the plug-in said of the download, the number of items and
// the first item as it would be shown, and, where the plug-in tells it, the document's encoding
// and where it comes from. Returns the exit code: 0 when an item can be shown.
int CheckFeed(const std::string& url, const std::string& count,
              const feedline::PluginLibrary& plugin);

}  // namespace feedline::host
