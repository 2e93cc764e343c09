#pragma once

#include <string>

// The item walk as a naive reading writes it: every pass copies the remaining text. Quirks and
// all, it is the reference the single-pass selection is checked and measured against.
namespace feedline::reference {

inline std::string CopyingExtractBetween(const std::string& open, const std::string& close,
                                         const std::string& text) {
  const auto p = text.find(open);
  const auto start = p == std::string::npos ? open.size() - 1 : p + open.size();
  const std::string rest = start >= text.size() ? "" : text.substr(start);
  const auto q = rest.find(close);
  return q == std::string::npos ? "" : rest.substr(0, q);
}

inline std::string CopyingSelectItem(std::string text, long long k) {
  std::string line;
  for (long long i = 1; i <= k; ++i) {
    const std::string item = CopyingExtractBetween("<item>", "</item>", text);
    const std::string title = CopyingExtractBetween("<title>", "</title>", item);
    const std::string link = CopyingExtractBetween("<link>", "</link>", item);
    const auto p = text.find("</item>");
    const auto start = p == std::string::npos ? 6 : p + 7;
    text = start >= text.size() ? "" : text.substr(start);
    if (i == k) line = title + "%l" + link;
  }
  return line;
}

}  // namespace feedline::reference
