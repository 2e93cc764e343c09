#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace feedline {

// What came of running a program as a debuggee.
struct DebuggeeRun {
  bool started = false;   // false: the program could not be started (`error` says why)
  bool timedOut = false;  // the time limit ran out and the program was ended
  DWORD exitCode = 0;
  std::vector<std::string> told;  // the plug-in's debug lines, without their "feedline: " prefix
  std::size_t toldDropped = 0;    // earlier lines let go to keep `told` within its bound
  std::string error;
};

// The standard streams a debuggee is given.
struct DebuggeeStreams {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
};

// At most this much of one debug string is read: the plug-in's lines are far shorter.
inline constexpr std::size_t kMaxDebugStringBytes = 16 * 1024;

// Runs `application` with `commandLine` as a debuggee, so that what it passes to
// OutputDebugStringA arrives here rather than nowhere, and collects the lines that start with
// "feedline: " until it exits, the last `keepLines` of them, so that a debuggee that floods
// costs bounded memory. A program still running after `timeLimitMs` is ended.
DebuggeeRun RunAsDebuggee(const std::string& application, std::string commandLine,
                          const DebuggeeStreams& streams, DWORD timeLimitMs = INFINITE,
                          std::size_t keepLines = SIZE_MAX);

}  // namespace feedline
