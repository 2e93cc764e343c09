#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/integration/plugin_script.h"

namespace feedline::test {

// A host session against a fresh feed server. In step words, "@/path" stands for that path on
// the server and "@unreachable" for an address where nothing listens.
struct PluginCase {
  std::string name;
  std::vector<Step> steps;
  std::vector<std::string> results;
  // The paths the server was asked for, in order.
  std::vector<std::string> requests;
};

// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const PluginCase& c, std::ostream* os) { *os << c.name; }

// The cases every build of the plug-in must pass, on Linux and under Wine alike.
const std::vector<PluginCase>& PluginCases();

}  // namespace feedline::test
