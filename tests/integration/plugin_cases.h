#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/integration/plugin_script.h"

namespace feedline::test {

// A host session against a fresh feed server. In step words, "@/path" stands for that path on
// the server, "@unreachable" for an address where nothing listens, "@https" for the server's
// plain port addressed with https, "@unresolvable" for a name that does not resolve and
// "@silent" for a server that takes the connection and never answers. "@tls:NAME/path" is that
// path on a TLS server at https://localhost presenting the test certificate NAME (good,
// other-name, expired, self-signed or hostile-name), "@to-tls:NAME" a plain-http address redirecting to
// that server's /feed, and "@user:/path" that path on the server with a user name and password
// (kPassword) in the address. "@ftp/path" is that path on an FTP server serving the
// three-item feed as /feed.xml to anonymous users, "@ftp-user:/path" the same with a user name
// and password the server refuses. A word ending in "+long-query" is the address before it with
// kLongQuery appended.
struct PluginCase {
  std::string name;
  std::vector<Step> steps;
  std::vector<std::string> results;
  // The paths the plain server was asked for, in order; not checked when absent (a redirect loop
  // takes as many requests as the client allows).
  std::optional<std::vector<std::string>> requests;
  // What the library tells a person, in order, without its "feedline: " prefix; not checked
  // when absent. Each line starts with an address word, resolved like the steps' words, and a
  // told line matches when it starts with the expected text (the platform's own words for a
  // failure may follow).
  std::optional<std::vector<std::string>> told = std::nullopt;
};

// A query longer than fixed buffers for an address's parts would hold.
inline const std::string kLongQuery = "?q=" + std::string(3000, 'x');

// The password in "@user:" addresses, which no told line may contain.
inline constexpr char kPassword[] = "s3cret";

// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const PluginCase& c, std::ostream* os) { *os << c.name; }

// The cases every build of the plug-in must pass, on Linux and under Wine alike.
const std::vector<PluginCase>& PluginCases();

}  // namespace feedline::test
