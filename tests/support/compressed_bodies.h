#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace feedline::test {

// `text` as a gzip stream, as a server sends it with "Content-Encoding: gzip".
std::string Gzip(std::string_view text);

// `text` as a zlib stream, what HTTP's "Content-Encoding: deflate" names.
std::string Deflate(std::string_view text);

// `text` as a bare deflate stream, without zlib's header, as some servers send "deflate".
std::string RawDeflate(std::string_view text);

// A gzip stream of `bytes` zero bytes: a small body that inflates far past any size limit.
std::string GzipBomb(std::size_t bytes);

}  // namespace feedline::test
