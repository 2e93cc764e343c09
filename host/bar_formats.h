#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace feedline::host {

// Where the line goes, each reader with its own markup to keep feed text out of.
enum class BarFormat { Plain, Json, Tmux, Polybar, Waybar, I3blocks };

// The format named on the command line, or nothing for an unknown name.
std::optional<BarFormat> ParseBarFormat(std::string_view name);

// The names ParseBarFormat knows, for messages and help: "plain, json, ...".
extern const char kBarFormatNames[];

// One output line (without its line break) for display text `title` and `link`, escaped so
// that nothing in them becomes markup, a style or a command for the reader of `format`. A
// feed's `label` (already in the title) is also given a field of its own where the format has
// fields: "label" in json, "alt" in waybar (its custom modules' {alt}).
std::string FormatLine(BarFormat format, std::string_view title, std::string_view link,
                       std::string_view label = {});

}  // namespace feedline::host
