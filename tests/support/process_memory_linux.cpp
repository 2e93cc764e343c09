#include <fstream>
#include <string>

#include "tests/support/process_memory.h"

namespace feedline::test {

namespace {

long StatusKiB(const std::string& wanted) {
  std::ifstream status("/proc/self/status");
  for (std::string key; status >> key;) {
    if (key == wanted) {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return 0;
}

}  // namespace

long ProcessMemoryKiB() { return StatusKiB("VmRSS:"); }

long PeakMemoryKiB() { return StatusKiB("VmHWM:"); }

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace feedline::test
