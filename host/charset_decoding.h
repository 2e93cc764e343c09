#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace feedline::host {

// `bytes` in the encoding `encoding` (any name iconv knows) as UTF-8. A byte that is invalid in
// that encoding becomes U+FFFD and the bytes after it keep their reading; an incomplete sequence
// at the end becomes U+FFFD too, unless `cutShort` says the bytes were cut there on purpose, in
// which case it is dropped. Nothing when iconv has no converter for the encoding.
std::optional<std::string> DecodeToUtf8(std::string_view bytes, std::string_view encoding,
                                        bool cutShort = false);

}  // namespace feedline::host
