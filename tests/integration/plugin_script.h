#pragma once

#include <string>
#include <vector>

namespace feedline::test {

// One step a host takes, as words:
//   load | unload | init | getparam NAME | fetch URL COUNT MINUTES SECONDS | cycles N URL
//   within SECONDS URL COUNT MINUTES SECONDS: a fetch that must return within SECONDS
//   peak MIB URL COUNT MINUTES SECONDS: a fetch during which the process may grow by MIB at most
// "cycles" loads, calls (URL 5 30 0) and unloads the plug-in N times after a warm-up of 20, and
// yields "no growth" unless the process grew by 1 MiB or more, or the library stayed mapped.
// The word "<null>" passes a null pointer, "<empty>" the empty text; inside a word "\xHH"
// stands for any byte and "\\" for a backslash. Each step yields one result line: the returned text
// escaped (see EscapeBytes), or for load and unload what happened.
using Step = std::vector<std::string>;

inline constexpr char kNullWord[] = "<null>";

// Runs the steps against the plug-in file, in this process, returning one line per step.
std::vector<std::string> RunPluginScript(const std::string& pluginFile,
                                         const std::vector<Step>& steps);

// The text a word stands for (see Step).
std::string UnescapeWord(const std::string& word);

// Bytes as printable ASCII: '\\' doubled, other bytes outside 0x20-0x7E as \xHH.
std::string EscapeBytes(const std::string& bytes);

}  // namespace feedline::test
