#include <windows.h>
#include <psapi.h>

#include "tests/support/process_memory.h"

namespace feedline::test {

namespace {

PROCESS_MEMORY_COUNTERS_EX Counters() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  K32GetProcessMemoryInfo(GetCurrentProcess(),
                          reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters;
}

}  // namespace

long ProcessMemoryKiB() { return static_cast<long>(Counters().PrivateUsage / 1024); }

long PeakMemoryKiB() { return static_cast<long>(Counters().PeakWorkingSetSize / 1024); }

void ResetPeakMemory() {}

}  // namespace feedline::test
