#pragma once

namespace feedline::test {

// The memory this process holds, in KiB (resident set on Linux, private bytes on Windows).
long ProcessMemoryKiB();

// The most memory this process has held since it started or since ResetPeakMemory, in KiB
// (peak resident set on Linux, peak working set on Windows).
long PeakMemoryKiB();

// Starts a new peak where the platform can (Linux); elsewhere the peak runs from the start.
void ResetPeakMemory();

}  // namespace feedline::test
