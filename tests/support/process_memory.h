#pragma once

namespace feedline::test {

// The memory this process holds, in KiB (resident set on Linux, private bytes on Windows).
long ProcessMemoryKiB();

}  // namespace feedline::test
