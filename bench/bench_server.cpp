// Serves a generated feed of the given size in MiB at /feed on 127.0.0.1, with its
// Content-Length, the same feed gzip-compressed at /feed.gz, and a news feed of a usual size
// (64 KiB) at /news, whatever the query. Prints the port it listens on and the compressed size
// in bytes, on one line. Runs until it is killed.
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/feed_documents.h"
#include "tests/support/compressed_bodies.h"

int main(int argc, char** argv) {
  const long mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 50;
  if (mebibytes <= 0) {
    std::fprintf(stderr, "usage: feedline_bench_server [MiB]\n");
    return 2;
  }
  std::string document = feedline::bench::RealisticFeed(static_cast<std::size_t>(mebibytes) << 20);
  document.resize(static_cast<std::size_t>(mebibytes) << 20);
  const std::string compressed = feedline::test::Gzip(document);
  const std::string news = feedline::bench::RealisticFeed(64 << 10);
  httplib::Server server;
  server.Get("/news", [&news](const httplib::Request&, httplib::Response& response) {
    response.set_content(news, "application/rss+xml");
  });
  server.Get("/feed.gz", [&compressed](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Encoding", "gzip");
    response.set_content(compressed, "application/octet-stream");
  });
  server.Get("/feed", [&document](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(
        document.size(), "application/rss+xml",
        [&document](size_t offset, size_t length, httplib::DataSink& sink) {
          return sink.write(document.data() + offset, std::min<size_t>(length, 1 << 20));
        });
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::printf("%d %zu\n", port, compressed.size());
  std::fflush(stdout);
  server.listen_after_bind();
  return 0;
}
