#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace feedline {

// Decodes a body sent with "Content-Encoding: gzip" or "deflate" as it arrives. The format is
// read from the first bytes, not from the header's word: gzip, a zlib stream (what "deflate"
// names) or a bare deflate stream (what some servers send for "deflate") are all accepted.
class BodyInflater {
 public:
  BodyInflater();
  ~BodyInflater();
  BodyInflater(const BodyInflater&) = delete;
  BodyInflater& operator=(const BodyInflater&) = delete;

  // Appends the bytes that `encoded` decodes to onto `out`. False when the stream is corrupt,
  // when it goes on after its end, or when `out` would pass `maxBytes`: decoding stops there,
  // so a small body that inflates without end costs no more than the limit.
  bool Feed(std::string_view encoded, std::string& out, std::uint64_t maxBytes);

  // Whether the stream has reached its proper end (a cut-off body has not).
  bool Finished() const { return finished_; }

  // Whether decoding stopped because the output would have passed its limit.
  bool OverLimit() const { return overLimit_; }

 private:
  bool Fail();

  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::string header_;  // the first bytes, held until the format can be told
  bool finished_ = false;
  bool failed_ = false;
  bool overLimit_ = false;
};

}  // namespace feedline
