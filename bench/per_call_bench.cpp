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
    if (kind == "ten-items") document = ShortItems(10);
    if (kind == "short-items") document = ShortItems(bytes);  // `bytes` counts items here
    if (kind == "huge-title") document = OneHugeTitle(bytes);
    if (kind == "entry-starts") document = EntryStartsOnly(bytes);
  }
  return document;
}

const Environment& NoDownloads() {
  static const Environment env{
      &LocalNow, [](const char*, DownloadReport&) { return std::optional<std::string>(); }, {}};
  return env;
}

// A state after the first call, at position k of `document`, its walk remembered.
FeedState StateAt(const std::string& document, int k) {
  FeedState feed = MakeLoadedState(&LocalNow);
  feed.FirstCall = false;
  feed.ItemIndex = k;
  feed.Cache.Replace(std::string(document));
  const FetchParams params{"http://unused", "2147483647", "2147483647", "2147483647"};
  RunFetch(feed, params, NoDownloads());
  return feed;
}

// (a) A whole call that walks from the start (no walk remembered): clock readings, three
// parses, the walk and the line.
void FetchCall(benchmark::State& state, const std::string& kind, std::size_t bytes, int k) {
  FeedState feed = StateAt(Document(kind, bytes), k);
  const std::string count = std::to_string(k);
  const FetchParams params{"http://unused", count.c_str(), "2147483647", "2147483647"};
  for (auto _ : state) {
    feed.Walk = {};
    benchmark::DoNotOptimize(RunFetch(feed, params, NoDownloads()));
  }
  if (feed.ItemIndex != k) state.SkipWithError("the item advanced");
}

// A call with nothing due: no download, no advance, the same count.
void NothingDue(benchmark::State& state, const std::string& kind, std::size_t bytes) {
  FeedState feed = StateAt(Document(kind, bytes), 1);
  const FetchParams params{"http://unused", "10", "2147483647", "2147483647"};
  for (auto _ : state) benchmark::DoNotOptimize(RunFetch(feed, params, NoDownloads()));
  if (feed.ItemIndex != 1) state.SkipWithError("the item advanced");
}

// Advancing calls (rotation due on every call) over positions from + 1 to from + 200, again and
// again; putting the state back at `from` is not timed.
void Advance(benchmark::State& state, const std::string& kind, std::size_t bytes, int from) {
  const std::string& document = Document(kind, bytes);
  FeedState feed = StateAt(document, from);
  const FetchParams params{"http://unused", "2147483647", "2147483647", "0"};
  int advanced = 0;
  for (auto _ : state) {
    if (advanced == 200) {
      state.PauseTiming();
      feed = StateAt(document, from);
      advanced = 0;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(RunFetch(feed, params, NoDownloads()));
    ++advanced;
  }
  if (feed.ItemIndex != from + advanced) state.SkipWithError("positions were skipped");
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
  // What a call costs beyond its line: nothing due, and advancing deep into a large feed.
  benchmark::RegisterBenchmark("nothing-due/ten-items", NothingDue, "ten-items", 0);
  benchmark::RegisterBenchmark("nothing-due/huge-title/32MiB", NothingDue, "huge-title", 32 * MiB);
  // A fixed count of calls: each 200 calls the state is set back, which costs far more than the
  // calls themselves, so letting the library choose the count took half an hour.
  benchmark::RegisterBenchmark("advance/short-items/800000/from1", Advance, "short-items", 800000, 1)
      ->Iterations(4000);
  benchmark::RegisterBenchmark("advance/short-items/800000/from700000", Advance, "short-items",
                               800000, 700000)
      ->Iterations(4000);
  benchmark::RegisterBenchmark("advance/closes-only/8MiB/from1", Advance, "closes-only", 8 * MiB,
                               1);
  benchmark::RegisterBenchmark("advance/entry-starts/8MiB/from1", Advance, "entry-starts",
                               8 * MiB, 1);
  benchmark::RegisterBenchmark("whole-scan/entry-starts/8MiB", WholeScan, "entry-starts", 8 * MiB,
                               0);
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
