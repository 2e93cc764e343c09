#include "host/bar_formats.h"

#include <libxml/entities.h>

#include <nlohmann/json.hpp>

namespace feedline::host {
namespace {

using Json = nlohmann::ordered_json;

std::string DumpJson(const Json& value) {
  // Display text is valid UTF-8; "replace" keeps the line valid JSON should it ever not be.
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Pango markup text: the XML special characters as entities.
std::string PangoEscaped(std::string_view text) {
  const std::string input(text);
  xmlChar* escaped = xmlEncodeSpecialChars(nullptr, BAD_CAST input.c_str());
  if (escaped == nullptr) return {};
  std::string result(reinterpret_cast<const char*>(escaped));
  xmlFree(escaped);
  return result;
}

// tmux reads "#[...]", "#{...}", "#(...)" and "##" in a status command's output, in two passes:
// the format pass turns "##" into "#" but leaves a run of "#" before "[" to the drawing pass,
// which turns "##" into "#" again. So a run before "[" is doubled and any other run is
// quadrupled, and every "#" shows as itself (checked against tmux itself in the tests).
std::string TmuxEscaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '#') {
      out += text[i++];
      continue;
    }
    const std::size_t run = text.find_first_not_of('#', i);
    const std::size_t length = (run == std::string_view::npos ? text.size() : run) - i;
    const bool beforeStyle = run != std::string_view::npos && text[run] == '[';
    out.append(length * (beforeStyle ? 2 : 4), '#');
    i += length;
  }
  return out;
}

// polybar reads every "%{" as the start of a tag and has no escape for it; a zero-width space
// between the two characters keeps the look and breaks the tag.
std::string PolybarEscaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '{') out += "\u200B";
  }
  return out;
}

}  // namespace

const char kBarFormatNames[] = "plain, json, tmux, polybar, waybar, i3blocks";

std::optional<BarFormat> ParseBarFormat(std::string_view name) {
  if (name == "plain") return BarFormat::Plain;
  if (name == "json") return BarFormat::Json;
  if (name == "tmux") return BarFormat::Tmux;
  if (name == "polybar") return BarFormat::Polybar;
  if (name == "waybar") return BarFormat::Waybar;
  if (name == "i3blocks") return BarFormat::I3blocks;
  return std::nullopt;
}

std::string FormatLine(BarFormat format, std::string_view title, std::string_view link,
                       std::string_view label) {
  switch (format) {
    case BarFormat::Plain:
      return link.empty() ? std::string(title)
                          : std::string(title) + "  <" + std::string(link) + ">";
    case BarFormat::Json: {
      Json line{{"title", title}, {"link", link}};
      if (!label.empty()) line["label"] = label;
      return DumpJson(line);
    }
    case BarFormat::Tmux:
      return TmuxEscaped(title);
    case BarFormat::Polybar:
      return PolybarEscaped(title);
    case BarFormat::Waybar: {
      Json line{{"text", PangoEscaped(title)},
                {"tooltip", PangoEscaped(link)},
                {"class", "feedline"}};
      if (!label.empty()) line["alt"] = PangoEscaped(label);
      return DumpJson(line);
    }
    case BarFormat::I3blocks:
      return std::string(title);
  }
  return std::string(title);
}

}  // namespace feedline::host
