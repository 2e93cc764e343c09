#include "download/body_inflater.h"

#include <zlib.h>

namespace feedline {

struct BodyInflater::Stream {
  z_stream z{};
  bool open = false;
  ~Stream() {
    if (open) inflateEnd(&z);
  }
};

namespace {

// zlib's window bits for the format the first two bytes announce.
int WindowBitsFor(unsigned char first, unsigned char second) {
  if (first == 0x1f && second == 0x8b) return 15 + 16;                     // gzip
  if ((first & 0x0f) == Z_DEFLATED && (first * 256 + second) % 31 == 0) return 15;  // zlib
  return -15;                                                              // bare deflate
}

}  // namespace

BodyInflater::BodyInflater() : stream_(std::make_unique<Stream>()) {}

BodyInflater::~BodyInflater() = default;

bool BodyInflater::Feed(std::string_view encoded, std::string& out, std::uint64_t maxBytes) {
  if (failed_) return false;
  if (encoded.empty()) return true;
  if (finished_) return Fail();  // bytes after the end of the stream
  if (!stream_->open) {
    header_.append(encoded);
    if (header_.size() < 2) return true;
    const auto first = static_cast<unsigned char>(header_[0]);
    const auto second = static_cast<unsigned char>(header_[1]);
    if (inflateInit2(&stream_->z, WindowBitsFor(first, second)) != Z_OK) return Fail();
    stream_->open = true;
    encoded = header_;
  }
  z_stream& z = stream_->z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(encoded.data()));
  z.avail_in = static_cast<uInt>(encoded.size());
  char buffer[64 * 1024];
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    const int result = inflate(&z, Z_NO_FLUSH);
    const std::size_t produced = sizeof buffer - z.avail_out;
    if (out.size() + produced > maxBytes) {
      overLimit_ = true;
      return Fail();
    }
    out.append(buffer, produced);
    if (result == Z_STREAM_END) {
      finished_ = true;
      if (z.avail_in > 0) return Fail();
      break;
    }
    if (result == Z_BUF_ERROR) break;  // every input byte used: wait for more
    if (result != Z_OK) return Fail();
  } while (z.avail_in > 0 || z.avail_out == 0);
  header_.clear();
  return true;
}

bool BodyInflater::Fail() {
  failed_ = true;
  return false;
}

}  // namespace feedline
