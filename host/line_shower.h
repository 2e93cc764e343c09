#pragma once

#include <optional>
#include <string>

#include "host/atomic_file.h"
#include "host/display_text.h"
#include "host/host_identity.h"
#include "host/host_options.h"
#include "host/line_output.h"
#include "host/plugin_line_facts.h"

namespace feedline::host {

// Shows each new line of the plug-in: writes it in the chosen format, records its link for
// --open, and says once what a person should know (nothing to show yet, a skipped position, a
// failed write).
class LineShower {
 public:
  // Takes the host's name at once, before the first download: from then on --open opens what
  // this host shows (nothing yet), not what an older host of the same name shows.
  LineShower(const HostOptions& options, LineOutput output);

  const ShownItem& Item() const { return item_; }
  // Whether the last line shown could not be written.
  bool LastWriteFailed() const { return lastWriteFailed_; }
  bool ToStandardOutput() const { return output_.ToStandardOutput(); }

  // Shows `line` (with a feed's `label`, or none), read with the plug-in's facts of it where it
  // gives them; false when the reader of standard output has gone.
  bool Show(const std::string& line, const std::optional<PluginLineFacts>& facts,
            const std::string& label);

 private:
  // Records the shown link for --open while this host holds its name.
  void RecordLink();

  const HostOptions& options_;
  LineOutput output_;
  const HostIdentity self_;
  std::optional<DirectoryHandle> stateDirectory_;
  ShownItem item_;
  bool toldNothingToShow_ = false;
  bool toldSkipped_ = false;
  bool toldWriteFailed_ = false;
  bool toldNoState_ = false;
  bool toldHandedOver_ = false;
  bool toldProblem_ = false;
  bool toldLocked_ = false;
  bool lockWasHeld_ = false;  // the last record found the lock held by another process
  std::string toldIgnored_;
  bool lastWriteFailed_ = false;
};

}  // namespace feedline::host
