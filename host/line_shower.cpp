#include "host/line_shower.h"

#include <chrono>

#include "host/bar_formats.h"
#include "host/message_log.h"
#include "host/state_file.h"
#include "host/stop_signals.h"
#include "plugin/download_outcome.h"

namespace feedline::host {
namespace {

void SayOnce(bool& told, const std::string& message) {
  if (!told) Complain(message);
  told = true;
}

}  // namespace

LineShower::LineShower(const HostOptions& options, LineOutput output)
    : options_(options), output_(std::move(output)), self_(ThisHost()) {
  std::string error;
  // The state directory is opened and checked once; each change only replaces the file.
  stateDirectory_ = OpenStateDirectory(error);
  if (!stateDirectory_) Complain("cannot record the shown link for --open: " + error);
  // What a host of this name killed mid-write left behind.
  if (stateDirectory_) SweepStaleRecordTemporaries(*stateDirectory_, options_.name);
  RecordLink();
}

bool LineShower::Show(const std::string& line, const std::optional<PluginLineFacts>& facts,
                      const std::string& label) {
  if (facts && !facts->ignoredEncodings.empty() && facts->ignoredEncodings != toldIgnored_) {
    // Said once per document that declares them, not once per line.
    toldIgnored_ = facts->ignoredEncodings;
    Complain(feedline::EscapeForLine("the feed declares an encoding iconv does not know: " +
                                     facts->ignoredEncodings + "; reading it as " +
                                     facts->text.encoding + " (" + facts->encodingSource +
                                     ")"));
  }
  ShownItem next = ToShownItem(
      line, options_.maxWidth, options_.ellipsis, facts ? &facts->text : nullptr, label);
  if (!next.problem.empty()) SayOnce(toldProblem_, next.problem);
  // Once an item is shown, an empty position (COUNT above the feed's items, or a document
  // without items) keeps it on the bar instead of blanking it.
  if (next.Empty() && !item_.Empty() && !options_.raw) {
    SayOnce(toldSkipped_, "a position without an item: keeping the last item shown (the feed "
                          "has fewer items than COUNT " + options_.count +
                          ", or the document is not a feed)");
    return true;
  }
  item_ = std::move(next);
  std::string error;
  const std::string text =
      options_.raw ? line : FormatLine(options_.format, item_.title, item_.link, item_.label);
  const auto result = output_.ToStandardOutput()
                          ? ExitingOnStopSignal([&] { return output_.Write(text, error); })
                          : output_.Write(text, error);
  if (result == WriteResult::ReaderGone) return false;
  // A failed write is said once and tried again at the next change.
  if (result == WriteResult::Failed) SayOnce(toldWriteFailed_, error);
  if (result == WriteResult::Written) toldWriteFailed_ = false;
  lastWriteFailed_ = result == WriteResult::Failed;
  // Why is in the plug-in's own "feedline:" line on standard error, told once per change.
  if (item_.Empty()) SayOnce(toldNothingToShow_, "no item can be shown yet");
  RecordLink();
  return true;
}

void LineShower::RecordLink() {
  if (!stateDirectory_) return;
  std::string error;
  pid_t newer = 0;
  // After a wait that came to nothing, the lock is only tried until it is had again: a
  // process that keeps it (a stopped host) must not stall every line by the whole wait.
  LockWait wait{lockWasHeld_ ? std::chrono::milliseconds(0)
                                             : std::chrono::milliseconds(1000),
                                [] { return g_stop != 0; }};
  const auto result = WriteShownLink(*stateDirectory_, options_.name, self_,
                                                     item_.link, newer, error, wait);
  lockWasHeld_ = result == RecordResult::Locked;
  switch (result) {
    case RecordResult::Written:
      break;
    case RecordResult::Locked:
      if (!g_stop) {
        SayOnce(toldLocked_, "cannot record the shown link for --open: " + error +
                                 " (waited 1 s); trying again at each new line");
      }
      break;
    case RecordResult::NewerHostHolds:
      SayOnce(toldHandedOver_, "a newer feedline-host (pid " + std::to_string(newer) +
                                   ") took --name " + options_.name +
                                   "; --open opens what it shows, not this host's link");
      break;
    case RecordResult::Failed:
      SayOnce(toldNoState_, "cannot record the shown link for --open: " + error);
      break;
  }
}

}  // namespace feedline::host
