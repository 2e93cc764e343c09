// The library's download of a large feed against curl fetching the same address, alternating,
// in one run. The address comes from FEEDLINE_BENCH_URL (bench/run starts the server).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "download/download_feed.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool RunCurl(const char* url) {
  const char* argv[] = {"curl", "-s", "-o", "/dev/null", url, nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The feed server's address that bench/run passes, or null (and the benchmark skipped).
const char* BenchUrl(benchmark::State& state) {
  const char* url = std::getenv("FEEDLINE_BENCH_URL");
  if (url == nullptr) state.SkipWithError("FEEDLINE_BENCH_URL is not set");
  return url;
}

void LibraryAgainstCurl(benchmark::State& state) {
  const char* url = BenchUrl(state);
  if (url == nullptr) return;
  std::size_t bytes = 0;
  std::vector<double> library, curl;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto document = feedline::DownloadFeed(url);
    const bool downloaded = document.has_value();
    if (downloaded) bytes = document->size();
    const auto middle = Clock::now();
    const bool fetched = RunCurl(url);
    const auto end = Clock::now();
    if (!downloaded || !fetched) {
      state.SkipWithError("a download failed");
      return;
    }
    library.push_back(std::chrono::duration<double, std::milli>(middle - start).count());
    curl.push_back(std::chrono::duration<double, std::milli>(end - middle).count());
    state.SetIterationTime((middle - start).count() / 1e9);
  }
  state.counters["library_ms"] = Median(library);
  state.counters["curl_ms"] = Median(curl);
  state.counters["ratio"] = Median(library) / Median(curl);
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The same document compressed (FEEDLINE_BENCH_URL + ".gz") and as it is, alternating.
void CompressedAgainstPlain(benchmark::State& state) {
  const char* url = BenchUrl(state);
  if (url == nullptr) return;
  const std::string plainUrl = url;
  const std::string compressedUrl = plainUrl + ".gz";
  std::vector<double> compressed, plain;
  for (auto _ : state) {
    const auto start = Clock::now();
    const auto decoded = feedline::DownloadFeed(compressedUrl.c_str());
    const auto middle = Clock::now();
    const auto asIs = feedline::DownloadFeed(plainUrl.c_str());
    const auto end = Clock::now();
    if (!decoded || !asIs || *decoded != *asIs) {
      state.SkipWithError("a download failed or the documents differ");
      return;
    }
    compressed.push_back(std::chrono::duration<double, std::milli>(middle - start).count());
    plain.push_back(std::chrono::duration<double, std::milli>(end - middle).count());
    state.SetIterationTime((middle - start).count() / 1e9);
  }
  state.counters["compressed_ms"] = Median(compressed);
  state.counters["plain_ms"] = Median(plain);
}

BENCHMARK(CompressedAgainstPlain)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

BENCHMARK(LibraryAgainstCurl)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
