#include <fstream>
#include <string>

#include "tests/support/process_memory.h"

namespace feedline::test {

long ProcessMemoryKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string key; status >> key;) {
    if (key == "VmRSS:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  }
  return 0;
}

}  // namespace feedline::test
