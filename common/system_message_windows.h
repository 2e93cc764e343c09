#pragma once

#include <windows.h>

#include <string>

namespace feedline {

// The system's words for an error number, on one line without its closing full stop; from
// `module`'s message table first when one is given (wininet.dll keeps its own). Empty if none.
std::string SystemMessage(DWORD error, HMODULE module = nullptr);

// "error N (the system's words)", or "error N" when the system has none.
std::string ErrorText(DWORD error);

}  // namespace feedline
