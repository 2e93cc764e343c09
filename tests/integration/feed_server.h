#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace feedline::test {

struct TlsIdentity;

// The three-item feed most tests rotate over.
extern const std::string kThreeItemFeed;
extern const std::string kAtomFeed;  // one entry, no items
extern const std::string kKoi8Feed;  // one item titled "Новости", in KOI8-R
// A body with zero bytes before, inside and between its items.
extern const std::string kZeroByteFeed;

struct SeenRequest {
  std::string path;
  std::string userAgent;
  std::string pragma;
  std::string acceptEncoding;
};

// A feed server on 127.0.0.1 with one route per behaviour:
//   /feed      the three-item feed
//   /missing   a 404 page with an HTML body
//   /koi8      kKoi8Feed, with "charset=KOI8-R" in its Content-Type
//   /doc/NAME  one of NamedDocuments()
//   /zero      kZeroByteFeed
//   /alternating  two documents of the same size in turn, the first with three items early,
//              the second with two items (uno, dos) late
//   /redirect  a 302 to /feed
//   /flaky     the feed once, then bodies cut off before their announced length
//   /loop      a redirect to itself
//   /to-file   a redirect to a file: address
//   /trickle   a body sent one byte a second
//   /huge      a body of 65 MiB without a Content-Length (chunked)
//   /huge-announced  a Content-Length of 65 MiB
//   /gzip, /deflate  the three-item feed compressed, with its Content-Encoding
//   /bad-gzip  "Content-Encoding: gzip" on a body that is not gzip
//   /gzip-cut  the gzip feed's length announced, half of it sent, the connection dropped
//   /bomb      a gzip body of about 100 KiB that inflates to 100 MiB
//   /no-location  a 302 without Location whose body is the three-item feed
//   /long-redirect  a 302 to /feed with a query of 3000 bytes
//   /very-long-redirect  a 302 to /whole with a query of 5000 bytes
//   /whole     the feed when its query arrived whole (the one above), a 404 otherwise
//   /dir/relative-redirect  a 302 to "../feed?from=relative"
//   /to-tls/PORT  a 302 to https://localhost:PORT/feed
// Any other absolute address (as a proxy is asked for it) answers with the feed too.
// Given an identity, it speaks TLS with that certificate and is addressed as https://localhost.
class FeedServer {
 public:
  explicit FeedServer(const TlsIdentity* identity = nullptr);
  ~FeedServer();
  FeedServer(const FeedServer&) = delete;
  FeedServer& operator=(const FeedServer&) = delete;

  std::string Url(const std::string& path) const;
  int Port() const { return port_; }
  void Stop();  // from then on connections to the port are refused
  std::vector<SeenRequest> Requests() const;

 private:
  void AddFaultRoutes();
  void AddCompressedRoutes();

  std::unique_ptr<httplib::Server> server_;
  std::string host_;  // scheme and host of Url()
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<SeenRequest> requests_;
  std::atomic<int> flakyServed_{0};
  std::atomic<int> alternatingServed_{0};
  std::atomic<bool> stopping_{false};
};

// An address on 127.0.0.1 where nothing listens.
std::string UnreachableUrl();

}  // namespace feedline::test
