#pragma once

#include <optional>
#include <string>

#include "common/plugin_library.h"
#include "host/display_text.h"

namespace feedline::host {

// The facts the plug-in gives of the line it last returned, copied out of it.
struct PluginLineFacts {
  TextFacts text;
  std::string encodingSource;    // "XML declaration", ...
  std::string ignoredEncodings;  // declared names iconv does not know, with their sources
};

// Asks the plug-in, right after a FetchRSS call. Nothing when it offers no facts (another build
// of the plug-in) or has none yet, or when what it gives is not what the contract says: the
// line is then read from its bytes alone.
std::optional<PluginLineFacts> ReadLineFacts(const feedline::PluginLibrary& plugin);

}  // namespace feedline::host
