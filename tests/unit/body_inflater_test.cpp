// Decoding of compressed bodies as they arrive, in one piece or a byte at a time.
#include <gtest/gtest.h>

#include "download/body_inflater.h"
#include "tests/support/compressed_bodies.h"

namespace feedline {
namespace {

const std::string kFeed =
    "<rss><channel><item><title>one</title><link>http://one</link></item></channel></rss>";

struct InflateCase {
  std::string name;
  std::string encoded;
  std::uint64_t maxBytes;
  bool accepted;  // every Feed succeeded
  bool finished;  // the stream reached its end
  std::string decoded;  // checked when the stream was accepted to its end
};

void PrintTo(const InflateCase& c, std::ostream* os) { *os << c.name; }

// Feeds the body in pieces of `piece` bytes; returns whether every piece was accepted.
bool FeedInPieces(BodyInflater& inflater, const std::string& body, std::size_t piece,
                  std::uint64_t maxBytes, std::string& out) {
  for (std::size_t at = 0; at < body.size(); at += piece) {
    if (!inflater.Feed(std::string_view(body).substr(at, piece), out, maxBytes)) return false;
  }
  return true;
}

class Inflate : public testing::TestWithParam<InflateCase> {};

TEST_P(Inflate, DecodesWholeOrBytewise) {
  const InflateCase& c = GetParam();
  for (const std::size_t piece : {c.encoded.size() + 1, std::size_t{1}}) {
    BodyInflater inflater;
    std::string out;
    EXPECT_EQ(FeedInPieces(inflater, c.encoded, piece, c.maxBytes, out), c.accepted) << piece;
    EXPECT_EQ(inflater.Finished(), c.finished) << piece;
    if (c.accepted && c.finished) {
      EXPECT_EQ(out, c.decoded) << piece;
    }
    EXPECT_LE(out.size(), c.maxBytes);
  }
}

std::vector<InflateCase> Cases() {
  const std::string gzip = test::Gzip(kFeed);
  constexpr std::uint64_t kLimit = 1 << 20;
  return {
      {"Gzip", gzip, kLimit, true, true, kFeed},
      {"ZlibDeflate", test::Deflate(kFeed), kLimit, true, true, kFeed},
      {"BareDeflate", test::RawDeflate(kFeed), kLimit, true, true, kFeed},
      {"CutOffIsNotFinished", gzip.substr(0, gzip.size() / 2), kLimit, true, false, ""},
      {"NotCompressed", "<rss>plain text</rss>", kLimit, false, false, ""},
      {"BytesAfterTheEnd", gzip + "trailing", kLimit, false, true, ""},
      {"ExactlyAtLimit", gzip, kFeed.size(), true, true, kFeed},
      {"OneByteOverLimit", gzip, kFeed.size() - 1, false, false, ""},
      {"BombStopsAtLimit", test::GzipBomb(64u << 20), kLimit, false, false, ""},
  };
}

INSTANTIATE_TEST_SUITE_P(Bodies, Inflate, testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace feedline
