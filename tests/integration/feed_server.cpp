#include "tests/integration/feed_server.h"

#include "tests/integration/named_documents.h"
#include "tests/support/compressed_bodies.h"
#include "tests/support/test_certificates.h"

namespace feedline::test {

const std::string kThreeItemFeed =
    "<?xml version=\"1.0\"?><rss><channel><title>Test channel</title><link>http://chan</link>\n"
    "<item><title>one</title><link>http://one</link></item>\n"
    "<item><title>two</title><link>http://two</link></item>\n"
    "<item><title>three</title><link>http://three</link></item>\n"
    "</channel></rss>\n";

const std::string kAtomFeed =
    "<?xml version=\"1.0\"?><feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Atom test</title>\n"
    "<entry><title>one</title><link href=\"http://one\"/></entry>\n"
    "</feed>\n";

// "Новости" in KOI8-R, in a document whose declaration says windows-1251: the HTTP charset wins.
const std::string kKoi8Feed =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?><rss><channel><item>"
    "<title>\xee\xcf\xd7\xcf\xd3\xd4\xc9</title><link>http://one</link></item></channel></rss>";

namespace {
constexpr char kZeroBytes[] =
    "\0\0<item>\0<title>one</title><link>1</link></item>"
    "<item><title>two\0cut</title><link>2</link></item>";
}  // namespace

const std::string kZeroByteFeed(kZeroBytes, sizeof kZeroBytes - 1);

namespace {

std::unique_ptr<httplib::Server> MakeServer(const TlsIdentity* identity) {
  if (identity == nullptr) return std::make_unique<httplib::Server>();
  return std::make_unique<httplib::SSLServer>(identity->certificate.get(), identity->key.get());
}

}  // namespace

FeedServer::FeedServer(const TlsIdentity* identity)
    : server_(MakeServer(identity)),
      host_(identity != nullptr ? "https://localhost" : "http://127.0.0.1") {
  // Recorded before the answer goes out, so a client that has its answer finds it recorded.
  server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back({request.path, request.get_header_value("User-Agent"),
                         request.get_header_value("Pragma"),
                         request.get_header_value("Accept-Encoding")});
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server_->Get("/feed", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kThreeItemFeed, "application/rss+xml");
  });
  server_->Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("<html><body><h1>Not Found</h1></body></html>", "text/html");
  });
  server_->Get("/atom", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kAtomFeed, "application/atom+xml");
  });
  server_->Get("/koi8", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kKoi8Feed, "application/rss+xml; charset=KOI8-R");
  });
  server_->Get(R"(/doc/([a-z0-9-]+))", [](const httplib::Request& request,
                                          httplib::Response& response) {
    const auto found = NamedDocuments().find(request.matches[1].str());
    if (found == NamedDocuments().end()) {
      response.status = 404;
      return;
    }
    // A type the server library does not compress, so the byte counts are the document's.
    response.set_content(found->second, "application/octet-stream");
  });
  server_->Get("/alternating", [this](const httplib::Request&, httplib::Response& response) {
    // Two documents of one size whose items lie at different places: the first early, the
    // second late, after padding.
    static const std::string items =
        "<item><title>one</title><link>http://one</link></item>"
        "<item><title>two</title><link>http://two</link></item>"
        "<item><title>three</title><link>http://three</link></item>";
    static const std::string late =
        "<item><title>uno</title><link>http://uno</link></item>"
        "<item><title>dos</title><link>http://dos</link></item>";
    static const std::string early = "<rss>" + items + std::string(300, ' ') + "</rss>";
    static const std::string shifted =
        "<rss>" + std::string(early.size() - 11 - late.size(), ' ') + late + "</rss>";
    response.set_content(alternatingServed_++ % 2 == 0 ? early : shifted,
                         "application/octet-stream");
  });
  server_->Get("/zero", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kZeroByteFeed, "application/octet-stream");
  });
  server_->Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/feed");
  });
  server_->Get("/flaky", [this](const httplib::Request&, httplib::Response& response) {
    if (flakyServed_++ == 0) {
      response.set_content(kThreeItemFeed, "application/rss+xml");
      return;
    }
    // Announces the whole feed, sends its first half and drops the connection.
    response.set_content_provider(
        kThreeItemFeed.size(), "application/rss+xml",
        [](size_t, size_t, httplib::DataSink& sink) {
          sink.write(kThreeItemFeed.data(), kThreeItemFeed.size() / 2);
          return false;
        });
  });
  AddFaultRoutes();
  AddCompressedRoutes();
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::yield();
}

FeedServer::~FeedServer() { Stop(); }

std::string FeedServer::Url(const std::string& path) const {
  return host_ + ":" + std::to_string(port_) + path;
}

void FeedServer::AddFaultRoutes() {
  server_->Get("/loop", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/loop");
  });
  server_->Get("/to-file", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("file:///etc/hostname");
  });
  server_->Get("/trickle", [this](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/rss+xml",
                                          [this](size_t offset, httplib::DataSink& sink) {
      // One byte, then a second's pause unless the server is shutting down.
      for (int tick = 0; tick < 100 && !stopping_; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (stopping_ || offset >= kThreeItemFeed.size()) {
        sink.done();
        return true;
      }
      return sink.write(kThreeItemFeed.data() + offset, 1);
    });
  });
  constexpr size_t kHuge = 65u << 20;
  auto sendHuge = [](size_t offset, httplib::DataSink& sink) {
    static const std::string block(1 << 20, 'x');
    if (offset >= kHuge) {
      sink.done();
      return true;
    }
    return sink.write(block.data(), block.size());
  };
  server_->Get("/huge", [sendHuge](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/rss+xml", sendHuge);
  });
  server_->Get("/huge-announced", [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(kHuge, "application/rss+xml",
                                  [](size_t, size_t length, httplib::DataSink& sink) {
      static const std::string block(1 << 20, 'x');
      return sink.write(block.data(), std::min(length, block.size()));
    });
  });
  // A Location longer than fixed buffers for it would hold.
  server_->Get("/long-redirect", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/feed?q=" + std::string(3000, 'x'));
  });
  server_->Get("/very-long-redirect", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("/whole?q=" + std::string(5000, 'x') + "&end=1");
  });
  // The feed for an address that arrived whole (its query ends in "end=1"), a 404 otherwise.
  server_->Get("/whole", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("end") == "1" && request.get_param_value("q").size() == 5000) {
      response.set_content(kThreeItemFeed, "application/rss+xml");
    } else {
      response.status = 404;
      response.set_content("<html><body>cut address</body></html>", "text/html");
    }
  });
  // A Location relative to the address asked for, whatever that address's length.
  server_->Get("/dir/relative-redirect", [](const httplib::Request&, httplib::Response& response) {
    response.set_redirect("../feed?from=relative");
  });
  // Sends the client on to https://localhost:PORT/feed, where a TLS server may listen.
  server_->Get(R"(/to-tls/(\d+))", [](const httplib::Request& request,
                                      httplib::Response& response) {
    response.set_redirect("https://localhost:" + request.matches[1].str() + "/feed");
  });
  // A proxy is asked for absolute addresses: answer every one of them with the feed.
  server_->Get("http://.*", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kThreeItemFeed, "application/rss+xml");
  });
}

void FeedServer::AddCompressedRoutes() {
  // Sent as octet-stream, a type the server library would not compress a second time.
  auto encoded = [](std::string body, const char* encoding) {
    return [body = std::move(body), encoding](const httplib::Request&, httplib::Response& response) {
      response.set_header("Content-Encoding", encoding);
      response.set_content(body, "application/octet-stream");
    };
  };
  server_->Get("/gzip", encoded(Gzip(kThreeItemFeed), "gzip"));
  server_->Get("/deflate", encoded(Deflate(kThreeItemFeed), "deflate"));
  server_->Get("/bad-gzip", encoded("<rss>this is not gzip</rss>", "gzip"));
  server_->Get("/gzip-cut", [](const httplib::Request&, httplib::Response& response) {
    static const std::string compressed = Gzip(kThreeItemFeed);
    response.set_header("Content-Encoding", "gzip");
    response.set_content_provider(compressed.size(), "application/octet-stream",
                                  [](size_t, size_t, httplib::DataSink& sink) {
      sink.write(compressed.data(), compressed.size() / 2);
      return false;
    });
  });
  server_->Get("/bomb", [](const httplib::Request&, httplib::Response& response) {
    static const std::string bomb = GzipBomb(100u << 20);  // made once, on first use
    response.set_header("Content-Encoding", "gzip");
    response.set_content(bomb, "application/octet-stream");
  });
  server_->Get("/no-location", [](const httplib::Request&, httplib::Response& response) {
    response.status = 302;
    response.set_content(kThreeItemFeed, "application/rss+xml");
  });
}

void FeedServer::Stop() {
  stopping_ = true;
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::vector<SeenRequest> FeedServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::string UnreachableUrl() {
  // Binds a free port and releases it, so that nothing listens there afterwards.
  FeedServer probe;
  const std::string url = probe.Url("/feed");
  probe.Stop();
  return url;
}

}  // namespace feedline::test
