#include "tests/support/compressed_bodies.h"

#include <zlib.h>

#include <algorithm>

namespace feedline::test {
namespace {

// Compresses `repeat` copies of `block` with the given zlib window bits (31: gzip, 15: zlib).
std::string Compress(std::string_view block, std::size_t repeat, int windowBits) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
  std::string out;
  char buffer[1 << 16];
  for (std::size_t i = 0; i <= repeat; ++i) {
    const bool last = i == repeat;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(last ? "" : block.data()));
    stream.avail_in = last ? 0 : static_cast<uInt>(block.size());
    do {
      stream.next_out = reinterpret_cast<Bytef*>(buffer);
      stream.avail_out = sizeof buffer;
      deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
      out.append(buffer, sizeof buffer - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return out;
}

}  // namespace

std::string Gzip(std::string_view text) { return Compress(text, 1, 31); }

std::string Deflate(std::string_view text) { return Compress(text, 1, 15); }

std::string RawDeflate(std::string_view text) { return Compress(text, 1, -15); }

std::string GzipBomb(std::size_t bytes) {
  const std::string block(1 << 20, '\0');
  return Compress(block, std::max<std::size_t>(1, bytes / block.size()), 31);
}

}  // namespace feedline::test
