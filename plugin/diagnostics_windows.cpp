// Diagnostic lines through OutputDebugStringA, the channel a plug-in inside another program has:
// a debugger or DebugView shows them, and without a listener they cost next to nothing.
#include <windows.h>

#include <string>
#include <string_view>

#include "plugin/diagnostics.h"

namespace feedline {

void TellPerson(std::string_view line) {
  const std::string text = "feedline: " + std::string(line) + "\n";
  OutputDebugStringA(text.c_str());
}

}  // namespace feedline
