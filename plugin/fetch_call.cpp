#include "plugin/fetch_call.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "plugin/download_outcome.h"
#include "plugin/feed_walk.h"
#include "plugin/item_selection.h"
#include "plugin/number_parse.h"

namespace feedline {
namespace {

std::optional<std::int32_t> ParseParam(const char* text) {
  return ParseInteger(text == nullptr ? std::string_view{} : std::string_view{text});
}

// A completed download replaces the cached document; a failed one leaves the last good one.
// A person is told how it went when its kind differs from the last download's, so a feed that
// keeps failing the same way, or keeps changing its size, is told once. The document is counted
// once here, never per call.
void Refresh(FeedState& state, const char* url, const Environment& env) {
  DownloadReport report;
  std::optional<std::string> document = env.download(url, report);
  DocumentSummary summary;
  std::uint64_t documentBytes = 0;
  // The walk belonged to the document before: any download, even a failed one, ends it.
  state.Walk = {};
  if (document) {
    documentBytes = document->size();
    // Decides once whether it is read as Atom.
    state.Cache.Replace(std::move(*document), std::move(report.contentType));
    summary = SummarizeDocument(state.Cache.Text(), state.Cache.IsAtom());
  }
  if (!env.tell) return;
  // The platform's words may differ from try to try ("after 2001 ms"), and a live feed's size
  // from download to download; neither counts as a change of outcome.
  std::string kind = OutcomeKind(report, summary);
  if (kind == state.LastOutcome) return;
  const std::string outcome = DescribeOutcome(url, report, documentBytes, summary);
  // Escaped whole: the address, and the platform's words, which may quote a server.
  env.tell(EscapeForLine(report.detail.empty() ? outcome : outcome + " (" + report.detail + ")"));
  state.LastOutcome = std::move(kind);
}

// Makes the state's line the one of its position. Nothing is walked or copied when the line
// already is that position's; the next position continues the walk where the last one ended;
// any other position (a wrap, a changed count, a new document) walks from the start.
void ShowPosition(FeedState& state) {
  const std::int32_t k = state.ItemIndex;
  if (state.Walk.valid && state.Walk.position == k) return;
  const std::string_view document = state.Cache.Text();
  const bool atom = state.Cache.IsAtom();
  if (k < 1) {
    ComposeLine({}, state.ResultText);
    state.Walk = {};
    return;
  }
  state.Walk = state.Walk.valid && state.Walk.position + 1 == k
                   ? WalkOn(document, atom, state.Walk)
                   : WalkTo(document, atom, k);
  ComposeLine(PartsAt(document, atom, state.Walk), state.ResultText);
}

}  // namespace

const char* CurrentLine(const FeedState& state) {
  return state.ResultText.empty() ? "" : state.ResultText.c_str();
}

const char* RunFetch(FeedState& state, const FetchParams& params, const Environment& env) {
  const char* url = params.url == nullptr ? "" : params.url;

  if (state.FirstCall) {
    state.FirstCall = false;
    Refresh(state, url, env);
  }

  const auto minutes = ParseParam(params.updateMinutes);
  if (!minutes) return CurrentLine(state);
  if (env.now() >= AddInterval(state.LastFetchTime, *minutes, kDaysPerMinute)) {
    state.LastFetchTime = env.now();
    Refresh(state, url, env);
  }

  const auto seconds = ParseParam(params.rotateSeconds);
  if (!seconds) return CurrentLine(state);
  if (env.now() >= AddInterval(state.LastRotateTime, *seconds, kDaysPerSecond)) {
    state.LastRotateTime = env.now();
    // Stops at the largest value rather than overflowing while the cache stays empty.
    if (state.ItemIndex < std::numeric_limits<std::int32_t>::max()) ++state.ItemIndex;
  }

  if (!state.Cache.Empty()) {
    const auto count = ParseParam(params.count);
    if (!count) return CurrentLine(state);
    if (*count < state.ItemIndex) state.ItemIndex = 1;
    ShowPosition(state);
  }
  return CurrentLine(state);
}

}  // namespace feedline
