// Whole FetchRSS call sequences: arbitrary parameter texts (null included), documents delivered
// or not by the download, and a clock that jumps anywhere. After every call the line is never
// null, is the state's line, stays readable until the next call, and is a title and a link cut
// from one document that a download delivered. Whenever a call reaches the selection, its line
// is exactly the one a walk from the start of the cached document gives for the position,
// however the calls before it left the remembered walk.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/entry_selection.h"
#include "plugin/fetch_call.h"
#include "plugin/item_selection.h"
#include "plugin/number_parse.h"

namespace {

const char* const kNumbers[] = {"0", "1", "3", "-5", "10", "$1E", "0x7FFFFFFF", "2147483647",
                                "-2147483648", "  15", "+2", "15 ", "1.5", ""};

// A parameter text: null, a number or near-number from the list, or arbitrary bytes.
struct Param {
  bool null = false;
  std::string text;
  const char* get() const { return null ? nullptr : text.c_str(); }
};

Param ConsumeParam(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return {true, {}};
    case 1:
      return {false, input.ConsumeRandomLengthString(12)};
    default:
      return {false, input.PickValueInArray(kNumbers)};
  }
}

// Whether `line` is some title + "%l" + some link, both found in the same delivered document.
bool CutFromOneDocument(const std::string& line, const std::vector<std::string>& documents) {
  for (std::size_t at = line.find("%l"); at != std::string::npos; at = line.find("%l", at + 1)) {
    const std::string title = line.substr(0, at), link = line.substr(at + 2);
    for (const auto& document : documents) {
      if (document.find(title) != std::string::npos && document.find(link) != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  double now = input.ConsumeFloatingPoint<double>();
  std::vector<std::string> delivered;
  std::string nextDocument;
  bool deliver = false;
  feedline::Environment env;
  env.now = [&now] { return now; };
  env.download = [&](const char*, feedline::DownloadReport&) -> std::optional<std::string> {
    if (!deliver) return std::nullopt;  // a failed transfer
    delivered.push_back(nextDocument);
    return nextDocument;
  };
  env.tell = [](std::string_view) {};  // the outcome lines are composed, then dropped
  feedline::FeedState state;
  state.LastFetchTime = state.LastRotateTime = now;

  const char* previous = nullptr;
  std::string previousCopy;
  for (int call = 0; call < 64 && input.remaining_bytes() > 0; ++call) {
    // The line of the previous call must still be readable and unchanged.
    if (previous != nullptr && std::strcmp(previous, previousCopy.c_str()) != 0) __builtin_trap();

    deliver = input.ConsumeBool();
    if (deliver) nextDocument = input.ConsumeRandomLengthString(256);
    if (input.ConsumeBool()) {
      now = input.ConsumeBool() ? input.ConsumeFloatingPoint<double>()
                                : now + input.ConsumeIntegralInRange(-3600, 3600) / 86400.0;
    }
    const Param url = ConsumeParam(input), count = ConsumeParam(input),
                minutes = ConsumeParam(input), seconds = ConsumeParam(input);
    const char* line =
        feedline::RunFetch(state, {url.get(), count.get(), minutes.get(), seconds.get()}, env);

    if (line == nullptr || state.ItemIndex < 1) __builtin_trap();
    if (line != state.ResultText.c_str() && !(state.ResultText.empty() && *line == '\0')) {
      __builtin_trap();
    }
    if (!state.ResultText.empty() && !CutFromOneDocument(state.ResultText, delivered)) {
      __builtin_trap();
    }
    const auto parsed = [](const Param& param) {
      return feedline::ParseInteger(param.null ? std::string_view{} : std::string_view{param.text});
    };
    if (parsed(minutes) && parsed(seconds) && parsed(count) && !state.Cache.Empty()) {
      const std::string_view document = state.Cache.Text();
      std::string fromStart;
      feedline::ComposeLine(state.Cache.IsAtom()
                                ? feedline::SelectEntryParts(document, state.ItemIndex)
                                : feedline::SelectItemParts(document, state.ItemIndex),
                            fromStart);
      if (state.ResultText != fromStart) __builtin_trap();
    }
    previous = line;
    previousCopy = line;
  }
  return 0;
}
