// Cost of one FetchRSS call with the cache filled and nothing due, against the bare memmem scan
// it cannot beat and against a walk that copies the remaining text on every pass.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>

#include "bench/feed_documents.h"
#include "plugin/item_selection.h"
#include "plugin/fetch_call.h"
#include "tests/support/copying_walk.h"

namespace feedline::bench {
namespace {

constexpr std::size_t KiB = 1024, MiB = 1024 * 1024;

const std::string& Document(const std::string& kind, std::size_t bytes) {
  static std::map<std::pair<std::string, std::size_t>, std::string> documents;
  auto& document = documents[{kind, bytes}];
  if (document.empty()) {
    if (kind == "realistic") document = RealisticFeed(bytes);
    if (kind == "closes-only") document = ClosingTagsOnly(bytes);
    if (kind == "no-tags") document = NoTags(bytes);
    if (kind == "unclosed") document = UnclosedTitlesAndLinks(bytes);
  }
  return document;
}

// (a) A whole call: clock readings, three parses, the walk and the line, nothing due.
void FetchCall(benchmark::State& state, const std::string& kind, std::size_t bytes, int k) {
  FeedState feed = MakeLoadedState(&LocalNow);
  feed.FirstCall = false;
  feed.ItemIndex = k;
  feed.Cache.Replace(std::string(Document(kind, bytes)));
  const Environment env{
      &LocalNow, [](const char*, DownloadReport&) { return std::optional<std::string>(); }, {}};
  const std::string count = std::to_string(k);
  const FetchParams params{"http://unused", count.c_str(), "2147483647", "2147483647"};
  for (auto _ : state) benchmark::DoNotOptimize(RunFetch(feed, params, env));
  if (feed.ItemIndex != k) state.SkipWithError("the item advanced");
}

// (b) memmem up to the k-th "</item>".
void MemmemScan(benchmark::State& state, const std::string& kind, std::size_t bytes, int k) {
  const std::string& document = Document(kind, bytes);
  for (auto _ : state) {
    const char* at = document.data();
    const char* end = document.data() + document.size();
    for (int i = 0; i < k && at != nullptr; ++i) {
      const void* hit = memmem(at, static_cast<std::size_t>(end - at), "</item>", 7);
      at = hit == nullptr ? nullptr : static_cast<const char*>(hit) + 7;
    }
    benchmark::DoNotOptimize(at);
  }
}

// (c) The walk copying the remaining text at each pass.
void CopyingWalk(benchmark::State& state, const std::string& kind, std::size_t bytes, int k) {
  const std::string& document = Document(kind, bytes);
  for (auto _ : state) benchmark::DoNotOptimize(reference::CopyingSelectItem(document, k));
}

// Baseline for hostile documents: memmem over the whole document for bytes it does not hold,
// the fastest whole scan there is (glibc then runs at memchr speed).
void WholeScan(benchmark::State& state, const std::string& kind, std::size_t bytes, int) {
  const std::string& document = Document(kind, bytes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(document.data(), document.size(), "\x01\x02\x03\x04\x05\x06\x07", 7));
  }
}

// prefix + suffix, built by appending (GCC 12 warns falsely on literal + temporary string).
std::string Name(const char* prefix, const std::string& suffix) {
  std::string name(prefix);
  name += suffix;
  return name;
}

void Register() {
  const std::pair<const char*, std::size_t> sizes[] = {{"64KiB", 64 * KiB}, {"1MiB", MiB},
                                                        {"16MiB", 16 * MiB}};
  for (const auto& [sizeName, bytes] : sizes) {
    for (const int k : {1, 10, 1000}) {
      const std::string suffix = Name("/realistic/", sizeName) + Name("/k", std::to_string(k));
      benchmark::RegisterBenchmark(Name("call", suffix).c_str(), FetchCall, "realistic", bytes, k);
      benchmark::RegisterBenchmark(Name("memmem", suffix).c_str(), MemmemScan, "realistic", bytes,
                                   k);
      benchmark::RegisterBenchmark(Name("copying", suffix).c_str(), CopyingWalk, "realistic", bytes,
                                   k)
          ->MinTime(0.05);
    }
  }
  const std::pair<const char*, std::size_t> hostile[] = {
      {"closes-only", 8 * MiB}, {"no-tags", 8 * MiB}, {"unclosed", 8 * MiB},
      {"realistic", 16 * MiB}};
  for (const auto& [kind, bytes] : hostile) {
    const std::string document = Name("/", kind) + Name("/", std::to_string(bytes / MiB)) + "MiB";
    for (const int k : {1, 1000000}) {
      const std::string suffix = document + Name("/k", std::to_string(k));
      benchmark::RegisterBenchmark(Name("hostile-call", suffix).c_str(), FetchCall, kind, bytes, k);
    }
    benchmark::RegisterBenchmark(Name("whole-scan", document).c_str(), WholeScan, kind, bytes, 0);
  }
}

}  // namespace
}  // namespace feedline::bench

int main(int argc, char** argv) {
  feedline::bench::Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
