// A plug-in that misbehaves as a Windows DLL can, for the checker's tests. FetchRSS reads its
// address as an order:
//   exit:N          ends the process with ExitProcess(N), never returning
//   flood:N:BYTES   tells N debug lines of BYTES bytes each, then "the last line", and returns
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Field(const std::string& text, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) start = text.find(':', start) + 1;
  return text.substr(start, text.find(':', start) - start);
}

}  // namespace

extern "C" __declspec(dllexport) const char* init() { return "FetchRSS"; }

extern "C" __declspec(dllexport) const char* __stdcall getparam(const char*) {
  return "RSS Feed URL|number of news to display(1-10)|Update Interval (in minutes)|"
         "Rotate Interval (in seconds)|";
}

extern "C" __declspec(dllexport) const char* __stdcall FetchRSS(const char* url, const char*,
                                                                const char*, const char*) {
  const std::string order = url != nullptr ? url : "";
  if (order.starts_with("exit:")) ExitProcess(std::strtoul(Field(order, 1).c_str(), nullptr, 10));
  if (order.starts_with("flood:")) {
    const long lines = std::strtol(Field(order, 1).c_str(), nullptr, 10);
    const std::string line = "feedline: " + std::string(std::strtoul(Field(order, 2).c_str(), nullptr, 10), 'x');
    for (long i = 0; i < lines; ++i) OutputDebugStringA(line.c_str());
    OutputDebugStringA("feedline: the last line");
  }
  return "flooded%lhttp://flood.example/";
}
