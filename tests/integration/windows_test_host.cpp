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

// The text of an OUTPUT_DEBUG_STRING_EVENT, read from the child's memory.
std::string DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.fUnicode || info.nDebugStringLength == 0) return {};
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read)) {
    return {};
  }
  text.resize(read);
  while (!text.empty() && (text.back() == '\0' || text.back() == '\n')) text.pop_back();
  return text;
}

// Starts this program again with kChildFlag as a debuggee sharing our standard streams, and
// collects the plug-in's debug strings until it exits. Returns the child's exit code.
int RunStepsUnderDebugger(std::vector<std::string>& told) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on the chained operator+.
  std::string command = "\"";
  command.append(self).append("\" ").append(kChildFlag);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &child)) {
    std::cerr << "CreateProcessA failed with error " << GetLastError() << '\n';
    return 3;
  }
  DWORD exitCode = 3;
  for (bool running = true; running;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) break;
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case OUTPUT_DEBUG_STRING_EVENT: {
        const std::string text = DebugString(child.hProcess, event.u.DebugString);
        if (text.starts_with("feedline: ")) told.push_back(text.substr(10));
        break;
      }
      case EXCEPTION_DEBUG_EVENT:
        // The loader's breakpoint is ours to pass; every other exception is the child's.
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
        exitCode = event.u.ExitProcess.dwExitCode;
        running = false;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == kChildFlag) return RunSteps();
  std::vector<std::string> told;
  const int exitCode = RunStepsUnderDebugger(told);
  for (const std::string& line : told) std::cout << "told: " << line << '\n';
  return exitCode;
}
