#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace feedline::host {

// What a plug-in writes to standard error while one thread calls it, kept apart from what other
// threads' plug-ins write at the same time.
class ToldLines {
 public:
  // Gives the calling thread a file table of its own in which standard error is a pipe that
  // this object reads; the other threads' standard error is left as it is. Where the system
  // refuses, the thread's plug-in writes to the shared standard error as a single feed's does.
  ToldLines();
  ~ToldLines();
  ToldLines(const ToldLines&) = delete;
  ToldLines& operator=(const ToldLines&) = delete;

  // The whole lines written since the last call (without their line breaks). A full pipe loses
  // what the plug-in writes beyond it instead of stopping the plug-in.
  std::vector<std::string> Take();

 private:
  int pipe_ = -1;        // read end; -1 when not captured
  std::string partial_;  // a line not yet ended
};

// A line the plug-in of a feed told (its own "feedline: " prefix or none), as the host passes
// it on: "feedline: LABEL: ..." for a labelled feed, otherwise "feedline: ADDRESS: ..." unless
// the line starts with the address already. Control characters escaped.
std::string TaggedToldLine(std::string_view label, std::string_view shownAddress,
                           std::string_view line);

}  // namespace feedline::host
