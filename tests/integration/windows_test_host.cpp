// A Windows host for the tests: reads plug-in steps from standard input, one step a line with
// its words separated by blanks, runs them and prints one result line per step.
#include <iostream>
#include <sstream>

#include "tests/integration/plugin_script.h"

int main() {
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
