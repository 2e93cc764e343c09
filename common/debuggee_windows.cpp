#include "common/debuggee_windows.h"

#include <algorithm>

namespace feedline {
namespace {

constexpr char kToldPrefix[] = "feedline: ";

// The text of an OUTPUT_DEBUG_STRING_EVENT, read from the debuggee's memory.
std::string DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.fUnicode || info.nDebugStringLength == 0) return {};
  std::string text(std::min<std::size_t>(info.nDebugStringLength, kMaxDebugStringBytes), '\0');
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read)) {
    return {};
  }
  text.resize(read);
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n')) text.pop_back();
  return text;
}

// Milliseconds left of `limit` since `start`; INFINITE stays INFINITE.
DWORD Remaining(DWORD limit, ULONGLONG start) {
  if (limit == INFINITE) return INFINITE;
  const ULONGLONG spent = GetTickCount64() - start;
  return spent >= limit ? 0 : static_cast<DWORD>(limit - spent);
}

}  // namespace

DebuggeeRun RunAsDebuggee(const std::string& application, std::string commandLine,
                          const DebuggeeStreams& streams, DWORD timeLimitMs,
                          std::size_t keepLines) {
  DebuggeeRun run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = streams.input;
  startup.hStdOutput = streams.output;
  startup.hStdError = streams.error;
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                      DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &child)) {
    run.error = "CreateProcessA failed with error " + std::to_string(GetLastError());
    return run;
  }
  run.started = true;
  const ULONGLONG start = GetTickCount64();
  for (bool running = true; running;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, run.timedOut ? INFINITE : Remaining(timeLimitMs, start))) {
      if (run.timedOut || Remaining(timeLimitMs, start) != 0) {
        run.error = "WaitForDebugEvent failed with error " + std::to_string(GetLastError());
        TerminateProcess(child.hProcess, 1);
        break;
      }
      // Ended, the debuggee still reports its exit, which ends the loop.
      run.timedOut = true;
      TerminateProcess(child.hProcess, 1);
      continue;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const std::string text = DebugString(child.hProcess, event.u.DebugString);
        if (!text.starts_with(kToldPrefix) || keepLines == 0) break;
        // The oldest line goes first; a vector of a few lines is cheaper than a deque here.
        if (run.told.size() == keepLines) {
          run.told.erase(run.told.begin());
          ++run.toldDropped;
        }
        run.told.push_back(text.substr(sizeof kToldPrefix - 1));
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint is ours to pass; every other exception is the debuggee's.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr) {
          CloseHandle(event.u.CreateProcessInfo.hFile);
        }
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        run.exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return run;
}

}  // namespace feedline
