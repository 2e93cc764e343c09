// A Windows host for the tests: reads plug-in steps from standard input, one step a line with
// its words separated by blanks, runs them and prints one result line per step. It runs the
// steps in a child of itself started under the debugging API, so that it receives what the
// plug-in passes to OutputDebugStringA, and prints each of those lines after the results as
// "told: LINE" (without the "feedline: " prefix).
#include <windows.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/debuggee_windows.h"
#include "common/executable_path.h"
#include "tests/integration/plugin_script.h"

namespace {

constexpr char kChildFlag[] = "--run-steps";

int RunSteps() {
  std::vector<feedline::test::Step> steps;
  for (std::string line; std::getline(std::cin, line);) {
    std::istringstream words(line);
    feedline::test::Step step;
    for (std::string word; words >> word;) step.push_back(word);
    steps.push_back(step);
  }
  for (const auto& result : feedline::test::RunPluginScript("feedline.dll", steps)) {
    std::cout << result << '\n';
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kChildFlag) return RunSteps();
  const std::string self = feedline::ExecutablePath();
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on the chained operator+.
  std::string command = "\"";
  command.append(self).append("\" ").append(kChildFlag);
  const feedline::DebuggeeRun run = feedline::RunAsDebuggee(self, command, {});
  if (!run.started) {
    std::cerr << run.error << '\n';
    return 3;
  }
  for (const std::string& line : run.told) std::cout << "told: " << line << '\n';
  return static_cast<int>(run.exitCode);
}
