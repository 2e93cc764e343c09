// Display text from arbitrary feed bytes, read from the bytes alone or with the plug-in's facts
// of them (an encoding, a title kind): whatever the bytes, the text is valid UTF-8 without
// control or bidirectional formatting characters or stray white space, a cut to any width fits
// that width and begins the text, and the JSON formats parse back to it.
#include <utf8proc.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "host/bar_formats.h"
#include "host/display_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The text's width in columns; aborts on invalid UTF-8 or a character that must not remain.
int CheckedWidth(std::string_view text) {
  int width = 0;
  auto* at = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  auto left = static_cast<utf8proc_ssize_t>(text.size());
  utf8proc_int32_t previous = 0;
  while (left > 0) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t used = utf8proc_iterate(at, left, &c);
    Check(used > 0);
    Check(c >= 0x20 && !(c >= 0x7f && c <= 0x9f));
    Check(!(c >= 0x202a && c <= 0x202e) && !(c >= 0x2066 && c <= 0x2069));
    Check(!(c == ' ' && previous == ' '));
    width += utf8proc_charwidth(c);
    previous = c;
    at += used;
    left -= used;
  }
  return width;
}

// Whether a grapheme cluster of `text` (valid UTF-8) is longer than a cut keeps of one.
bool HasCappedCluster(std::string_view text) {
  auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t clusterStart = 0;
  utf8proc_int32_t previous = -1;
  utf8proc_int32_t state = 0;
  for (std::size_t offset = 0; offset < text.size();) {
    utf8proc_int32_t c;
    const utf8proc_ssize_t used = utf8proc_iterate(
        bytes + offset, static_cast<utf8proc_ssize_t>(text.size() - offset), &c);
    if (previous >= 0 && utf8proc_grapheme_break_stateful(previous, c, &state)) {
      if (offset - clusterStart > feedline::host::kMaxClusterBytes) return true;
      clusterStart = offset;
    }
    previous = c;
    offset += static_cast<std::size_t>(used);
  }
  return text.size() - clusterStart > feedline::host::kMaxClusterBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int columns = data[0] % 64 + 1;
  using feedline::TitleKind;
  static const feedline::host::TextFacts kFacts[] = {
      {"UTF-8", TitleKind::Html}, {"Shift_JIS", TitleKind::Text}, {"windows-1251", TitleKind::Xhtml}};
  const int facts = data[0] >> 6;  // 0: the bytes alone
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string text = facts == 0 ? feedline::host::DisplayText(bytes)
                                      : feedline::host::DisplayText(bytes, kFacts[facts - 1],
                                                                    /*isLink=*/false);
  CheckedWidth(text);
  Check(text.empty() || (text.front() != ' ' && text.back() != ' '));

  const std::string fitted = feedline::host::FitToColumns(text, columns);
  Check(CheckedWidth(fitted) <= columns);
  // A cluster longer than kMaxClusterBytes keeps only its first code points, which is a cut that
  // no ellipsis marks; otherwise a cut text is a prefix of the text and the ellipsis.
  if (fitted != text && !HasCappedCluster(text)) {
    const std::string_view ellipsis = "\u2026";
    Check(std::string_view(fitted).ends_with(ellipsis));
    Check(text.starts_with(std::string_view(fitted).substr(0, fitted.size() - ellipsis.size())));
  }

  using feedline::host::BarFormat;
  const auto json = nlohmann::json::parse(FormatLine(BarFormat::Json, text, text));
  Check(json.at("title") == text && json.at("link") == text);
  Check(nlohmann::json::parse(FormatLine(BarFormat::Waybar, text, text)).is_object());
  Check(FormatLine(BarFormat::Polybar, text, text).find("%{") == std::string::npos);
  return 0;
}
