// The host's display step (display text, width cut, bar format) on titles of 64 MiB built to be
// slow, shown with --max-width 80, from the bytes alone and with the plug-in's facts of the line
// (a kind "PIECE+FACTS": a declared encoding, an HTML title). As a benchmark it times the step; with --peak KIND it builds
// the title and runs the step once (or not, with --without-display), so that /usr/bin/time -v
// of the two runs gives the memory the step itself takes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <optional>
#include <string>

#include "host/bar_formats.h"
#include "host/display_text.h"

namespace feedline::bench {
namespace {

constexpr std::size_t kTitleBytes = 64u << 20;

// What the title of each kind of line repeats. Returned rather than assigned: GCC 12 warns
// falsely (-Wrestrict) on assigning these literals to a string at -O3.
std::string PieceOf(const std::string& kind) {
  if (kind == "br") return "<br>";
  if (kind == "italic") return "<i>a</i>";
  if (kind == "byte81") return "\x81";
  if (kind == "combining") return "\xcc\x81";  // U+0301 after one base letter
  if (kind == "escaped") return "&lt;i&gt;a&lt;/i&gt;";  // markup read twice, as XML then HTML
  return "Harbour bridge reopens after six weeks of repairs. ";
}

// The facts a kind's line is read with; none for a kind without "+".
std::optional<host::TextFacts> FactsOf(const std::string& kind) {
  const std::size_t plus = kind.find('+');
  if (plus == std::string::npos) return std::nullopt;
  const std::string facts = kind.substr(plus + 1);
  return host::TextFacts{facts == "cp1251" ? "windows-1251" : "UTF-8", TitleKind::Html};
}

// A line whose title is its kind's piece repeated to 64 MiB, then a link.
std::string HostileLine(const std::string& kind) {
  const std::string base = kind.substr(0, kind.find('+'));
  const std::string piece = PieceOf(base);
  std::string line = base == "combining" ? "a" : "";
  line.reserve(kTitleBytes + 64);
  while (line.size() + piece.size() <= kTitleBytes) line += piece;
  return line + "%lhttps://news.example.org/2026/12/item";
}

std::string DisplayStep(const std::string& line, const std::string& kind) {
  const std::optional<host::TextFacts> facts = FactsOf(kind);
  const host::ShownItem item =
      host::ToShownItem(line, 80, host::kEllipsis, facts ? &*facts : nullptr);
  return host::FormatLine(host::BarFormat::Waybar, item.title, item.link);
}

void Display(benchmark::State& state, const std::string& kind) {
  const std::string line = HostileLine(kind);
  for (auto _ : state) benchmark::DoNotOptimize(DisplayStep(line, kind));
}

const char* const kKinds[] = {"realistic", "br",           "italic",     "byte81", "combining",
                              "realistic+cp1251", "escaped+html", "byte81+utf8"};

}  // namespace
}  // namespace feedline::bench

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--peak") == 0) {
    const std::string line = feedline::bench::HostileLine(argv[2]);
    const bool display = argc < 4 || std::strcmp(argv[3], "--without-display") != 0;
    std::string shown = display ? feedline::bench::DisplayStep(line, argv[2]) : std::string();
    benchmark::DoNotOptimize(shown);
    return 0;
  }
  for (const char* kind : feedline::bench::kKinds) {
    benchmark::RegisterBenchmark((std::string("display/") + kind).c_str(),
                                 &feedline::bench::Display, std::string(kind))
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
