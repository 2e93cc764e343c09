#pragma once

#include <string_view>

namespace feedline {

// Passes one line on what the library did (why a line is empty) to a person, on the channel
// the platform offers a library inside someone else's program: the debugger output on Windows,
// standard error on Linux when FEEDLINE_DEBUG asks for it. Costs nothing when nobody listens.
void TellPerson(std::string_view line);

}  // namespace feedline
