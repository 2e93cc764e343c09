#pragma once

#include <string>

namespace feedline::host {

// The plug-in to load when none is named: the installed one, found from this program's own
// location (the relative path is fixed when the build is configured), or the one in the build
// tree when the program runs from there.
std::string PluginPath();

// The bundled sample feed, found the same way.
std::string SampleFeedPath();

}  // namespace feedline::host
