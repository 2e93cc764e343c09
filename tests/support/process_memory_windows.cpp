#include <windows.h>
#include <psapi.h>

#include "tests/support/process_memory.h"

namespace feedline::test {

long ProcessMemoryKiB() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters)) {
    return 0;
  }
  return static_cast<long>(counters.PrivateUsage / 1024);
}

}  // namespace feedline::test
