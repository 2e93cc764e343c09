#pragma once

#include <string>

#include <vector>

#include "common/plugin_library.h"
#include "host/feed_arguments.h"
#include "host/host_options.h"

namespace feedline::host {

// feedline-host --check: one download through the plug-in, then a short report for a person on
// standard output: the address, what the plug-in said of the download, the number of items and
// the first item as it would be shown, and, where the plug-in tells it, the document's encoding
// and where it comes from. Returns the exit code: 0 when an item can be shown.
int CheckFeed(const std::string& url, const std::string& count,
              const feedline::PluginLibrary& plugin);

// feedline-host --check with every feed: each in turn with a plug-in instance of its own (the
// first feed with `first`, loaded from `pluginPath`), a label line before a labelled feed's
// report, then where the log of --name is. Returns 1 when any feed cannot show an item.
int CheckFeeds(const HostOptions& options, const std::vector<FeedArgument>& typed,
               const std::vector<std::string>& urls, const std::string& pluginPath,
               const feedline::PluginLibrary& first);

}  // namespace feedline::host
