// feedline-check.exe: tells a Windows user why a display program's line is empty. It loads
// feedline.dll as a display program does, makes one download and prints the report that
// feedline-host --check prints on Linux. The plug-in tells the outcome through
// OutputDebugStringA, which only a debugger receives, so the checker runs the steps in a child
// of itself started as its debuggee: the child loads the DLL and writes the returned line to a
// temporary file, the parent collects the debug lines and writes the report.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "checker/check_options.h"
#include "checker/check_report.h"
#include "common/debuggee_windows.h"
#include "common/executable_path.h"
#include "common/plugin_library.h"
#include "common/system_message_windows.h"

namespace {

// Set in the child's environment to a value unique to this run, which also names an event the
// parent holds: the child parses the same command line and runs the steps. A variable left in a
// user's environment names no such event, so it cannot turn a checker into a child.
constexpr char kChildVariable[] = "FEEDLINE_CHECK_STEPS";
constexpr char kHandshakePrefix[] = "Local\\feedline-check-steps-";

// What the child writes before the returned line, and instead of it when the plug-in cannot be
// loaded. Output without either means the plug-in ended the child itself.
constexpr char kStepsDone[] = "feedline-check: steps done\n";
constexpr char kNoPluginMark[] = "feedline-check: no plug-in\n";

// The DLL's time limits (10 s to answer, 60 s to finish) end every download well before this;
// it guards against a DLL that does not keep them.
constexpr DWORD kTimeLimitMs = 120'000;

// The last debug lines kept: the report uses the last one, and a flood must not fill memory.
constexpr std::size_t kToldLinesKept = 16;

void Say(const std::string& text) { std::fprintf(stderr, "feedline-check: %s\n", text.c_str()); }

std::string DefaultDll() {
  const std::string self = feedline::ExecutablePath();
  return self.substr(0, self.find_last_of("\\/") + 1) + "feedline.dll";
}

// In the child: load, ask as a display program asks, fetch once with intervals so long that it
// means one download and the first item, and write the returned line to standard output.
void WriteOut(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
            &written, nullptr);
}

int RunSteps(const feedline::CheckOptions& options) {
  const std::string dll = options.dll.empty() ? DefaultDll() : options.dll;
  feedline::PluginLibrary plugin;
  std::string error;
  if (!plugin.Load(dll, error)) {
    Say(error);
    WriteOut(kNoPluginMark);
    return 1;
  }
  if (plugin.init() == nullptr || plugin.getparam("FetchRSS") == nullptr) {
    Say(dll + " does not describe its FetchRSS function");
    WriteOut(kNoPluginMark);
    return 1;
  }
  const char* line =
      plugin.fetch(options.url.c_str(), options.count.c_str(), "2147483647", "2147483647");
  WriteOut(kStepsDone + std::string(line != nullptr ? line : ""));
  return 0;
}

// This run's handshake value: the process id and a high-resolution tick count.
std::string HandshakeValue() {
  LARGE_INTEGER ticks{};
  QueryPerformanceCounter(&ticks);
  return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(ticks.QuadPart);
}

// Whether this process is a checker's child: started as a debuggee with a handshake value whose
// event exists.
bool IsChild() {
  char value[64] = {};
  const DWORD length = GetEnvironmentVariableA(kChildVariable, value, sizeof value);
  if (length == 0 || length >= sizeof value || !IsDebuggerPresent()) return false;
  HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, (kHandshakePrefix + std::string(value)).c_str());
  if (event == nullptr) return false;
  CloseHandle(event);
  return true;
}

// A temporary file that the child inherits as its standard output and that goes when closed.
HANDLE TemporaryFile() {
  char folder[MAX_PATH + 1] = {};
  char path[MAX_PATH + 1] = {};
  if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "flc", 0, path) == 0) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherited, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadFromStart(HANDLE file) {
  std::string text;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[65536];
  for (DWORD got = 0; ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
    text.append(buffer, got);
  }
  return text;
}

// UTF-8 on the console while the report is written (titles are UTF-8), as it was afterwards.
class Utf8Console {
 public:
  Utf8Console() {
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
      previous_ = GetConsoleOutputCP();
      SetConsoleOutputCP(CP_UTF8);
    }
  }
  ~Utf8Console() {
    if (previous_ != 0) SetConsoleOutputCP(previous_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_ = 0;
};

// An exit code as a person reads it: small ones in decimal, exception codes in hex.
std::string ExitCodeText(DWORD code) {
  if (code < 0x10000) return std::to_string(code);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lx", static_cast<unsigned long>(code));
  return hex;
}

int Check(const feedline::CheckOptions& options) {
  HANDLE line = TemporaryFile();
  if (line == INVALID_HANDLE_VALUE) {
    Say("cannot make a temporary file: " + feedline::ErrorText(GetLastError()));
    return 1;
  }
  const std::string handshake = HandshakeValue();
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, (kHandshakePrefix + handshake).c_str());
  if (event == nullptr) {
    Say("cannot make the child's handshake event: " + feedline::ErrorText(GetLastError()));
    CloseHandle(line);
    return 1;
  }
  SetEnvironmentVariableA(kChildVariable, handshake.c_str());
  feedline::DebuggeeStreams streams;
  streams.output = line;
  const std::string self = feedline::ExecutablePath();
  const feedline::DebuggeeRun run = feedline::RunAsDebuggee(self, GetCommandLineA(), streams,
                                                            kTimeLimitMs, kToldLinesKept);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  CloseHandle(event);
  const std::string returned = ReadFromStart(line);
  CloseHandle(line);
  if (!run.started) {
    Say(run.error);
    return 1;
  }
  if (returned.find(kNoPluginMark) != std::string::npos) return 1;  // the child said why
  const std::size_t done = returned.find(kStepsDone);
  const bool finished = !run.timedOut && run.exitCode == 0 && done != std::string::npos;
  const feedline::ReportedItem first =
      finished ? feedline::RawReportedItem(std::string_view(returned).substr(
                     done + sizeof kStepsDone - 1))
               : feedline::ReportedItem{};
  Utf8Console console;
  std::fputs(feedline::CheckReport(options.url, run.told, first).c_str(), stdout);
  std::fflush(stdout);
  if (run.timedOut) {
    Say("the plug-in did not finish within " + std::to_string(kTimeLimitMs / 1000) +
        " s and was stopped");
  } else if (done == std::string::npos) {
    // FetchRSS never returned: the plug-in ended the process (ExitProcess) or it crashed.
    Say("the plug-in ended the process during FetchRSS, with exit code " +
        ExitCodeText(run.exitCode));
  } else if (run.exitCode != 0) {
    Say("the plug-in's run ended abnormally (exit code " + ExitCodeText(run.exitCode) + ")");
  }
  return first.Empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<feedline::CheckOptions> options =
      feedline::ParseCheckOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    Say(error);
    std::fputs(feedline::kCheckUsage, stderr);
    return 2;
  }
  if (options->help) {
    std::fputs(feedline::kCheckUsage, stdout);
    return 0;
  }
  if (IsChild()) return RunSteps(*options);
  return Check(*options);
}
