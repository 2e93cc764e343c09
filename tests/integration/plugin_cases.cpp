#include "tests/integration/plugin_cases.h"

namespace feedline::test {
namespace {

const char kLabels[] =
    "RSS Feed URL|number of news to display(1-10)|Update Interval (in minutes)|"
    "Rotate Interval (in seconds)|";

// The steps between a load and an unload.
std::vector<Step> Session(std::vector<Step> steps) {
  steps.insert(steps.begin(), Step{"load"});
  steps.push_back(Step{"unload"});
  return steps;
}

std::vector<std::string> Results(std::vector<std::string> results) {
  results.insert(results.begin(), "loaded");
  results.push_back("unloaded");
  return results;
}

Step Fetch(const std::string& url, const std::string& count, const std::string& minutes,
           const std::string& seconds) {
  return {"fetch", url, count, minutes, seconds};
}

using Paths = std::vector<std::string>;

// A good feed, then two refreshes from `fault`: the line keeps rotating over the good feed.
PluginCase FailedRefresh(const std::string& name, const std::string& fault) {
  return {name,
          Session({Fetch("@/feed", "3", "0", "0"), Fetch(fault, "3", "0", "0"),
                   Fetch(fault, "3", "0", "0")}),
          Results({"two%lhttp://two", "three%lhttp://three", "one%lhttp://one"}),
          std::nullopt};
}

// A TLS server whose certificate must not be accepted: nothing from it on a first call, and
// the line keeps rotating over the last good document (from a trusted server) afterwards. The
// rotation is due on every call, empty cache or not, so the good document starts at item 3.
// A person is told why, once for the two refusals in a row.
PluginCase RefusedCertificate(const std::string& name, const std::string& server,
                              const std::string& why) {
  const Step refused = Fetch(server, "3", "0", "0");
  const std::string told = server + ": download failed: " + why;
  return {name,
          Session({refused, Fetch("@tls:good/feed", "3", "0", "0"), refused, refused}),
          Results({"", "three%lhttp://three", "one%lhttp://one", "two%lhttp://two"}),
          Paths{},
          std::vector<std::string>{told, "@tls:good/feed: HTTP 200, 273 bytes, 3 items", told}};
}

std::vector<PluginCase> MakeCases() {
  return {
      {"Discovery",
       Session({{"init"},
                {"getparam", "FetchRSS"},
                {"getparam", "fetchrss"},
                {"getparam", "<empty>"},
                {"getparam", "<null>"},
                {"getparam", "FetchRSS\\x20"}}),
       Results({"FetchRSS", kLabels, "", "", "", ""}),
       Paths{}},
      {"LoadAndUnloadWithoutCallMakesNoRequest", Session({}), Results({}), Paths{}},
      {"RotationWrapsAfterCount", Session(std::vector<Step>(5, Fetch("@/feed", "3", "30", "0"))),
       Results({"two%lhttp://two", "three%lhttp://three", "one%lhttp://one", "two%lhttp://two",
                "three%lhttp://three"}),
       Paths{"/feed"}},
      {"FirstItemUntilRotationIsDue",
       Session({Fetch("@/feed", "5", "30", "3600"), Fetch("@/feed", "5", "30", "3600")}),
       Results({"one%lhttp://one", "one%lhttp://one"}), Paths{"/feed"}},
      {"NotFoundPageShowsMarkerOnly", Session({Fetch("@/missing", "5", "30", "10")}),
       Results({"%l"}), Paths{"/missing"},
       std::vector<std::string>{"@/missing: HTTP 404, 55 bytes received, 44 decoded, no items: "
                                "no <item> element"}},
      {"AtomFeedShowsItsEntryAndIsNamed", Session({Fetch("@/atom", "5", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/atom"},
       std::vector<std::string>{"@/atom: HTTP 200, 155 bytes, 1 entry (Atom)"}},
      // Atom entries rotate as items do, and a position past the last one shows the marker.
      {"AtomReleaseFeedRotates",
       Session(std::vector<Step>(3, Fetch("@/doc/releases", "3", "30", "0"))),
       Results({"v2.0%lhttps://code.example/tool/v2.0", "%l",
                "v2.1%lhttps://code.example/tool/v2.1"}),
       Paths{"/doc/releases"},
       std::vector<std::string>{"@/doc/releases: HTTP 200, 653 bytes, 2 entries (Atom)"}},
      {"AtomVideoFeedSkipsMediaTitle", Session({Fetch("@/doc/videos", "3", "30", "10")}),
       Results({"Episode 12%lhttps://video.example/watch?v=12"}), Paths{"/doc/videos"}},
      {"AtomLinksSelfBeforeAlternateAndWithoutRel",
       Session({Fetch("@/doc/links", "2", "30", "10"), Fetch("@/doc/links", "2", "30", "0")}),
       Results({"first%lhttps://f.example/1", "second%lhttps://f.example/2"}),
       Paths{"/doc/links"}},
      {"AtomEnclosureOnlyHasEmptyLink", Session({Fetch("@/doc/enclosure", "3", "30", "10")}),
       Results({"Podcast 7%l"}), Paths{"/doc/enclosure"}},
      {"AtomHtmlTitleKeepsItsBytes", Session({Fetch("@/doc/html-title", "3", "30", "10")}),
       Results({"&lt;b&gt;Bold&lt;/b&gt; &amp;amp; news%lhttps://h.example/b"}),
       Paths{"/doc/html-title"}},
      {"RssWithAtomLinkStaysRss", Session({Fetch("@/doc/rss-atom-link", "3", "30", "10")}),
       Results({"rss one%lhttps://r.example/1"}), Paths{"/doc/rss-atom-link"}},
      // Item tags with attributes: the item walk shows the channel first, as it always did.
      {"Rss1KeepsTheItemWalk",
       Session({Fetch("@/doc/rss1", "3", "30", "10"), Fetch("@/doc/rss1", "3", "30", "0")}),
       Results({"Old chan%lhttps://o.example/", "old two%lhttps://o.example/2"}),
       Paths{"/doc/rss1"}},
      {"CredentialsAreNeverTold", Session({Fetch("@user:/feed", "5", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/feed"},
       std::vector<std::string>{"@/feed: HTTP 200, 273 bytes, 3 items"}},
      {"UnreachableAddressShowsEmptyText", Session({Fetch("@unreachable", "5", "30", "10")}),
       Results({""}), Paths{}},
      {"NullAddressShowsEmptyText", Session({Fetch("<null>", "5", "30", "10")}), Results({""}),
       Paths{}},
      {"RefusedRefreshKeepsRotatingOverLastDocument",
       Session({Fetch("@/feed", "3", "0", "0"), Fetch("@unreachable", "3", "0", "0"),
                Fetch("@unreachable", "3", "0", "0"), Fetch("@unreachable", "3", "0", "0")}),
       Results({"two%lhttp://two", "three%lhttp://three", "one%lhttp://one", "two%lhttp://two"}),
       Paths{"/feed", "/feed"},
       // Three refused refreshes in a row are told once.
       std::vector<std::string>{"@/feed: HTTP 200, 273 bytes, 3 items",
                                "@unreachable: download failed: connection refused"}},
      {"CutOffRefreshKeepsRotatingOverLastDocument",
       Session(std::vector<Step>(4, Fetch("@/flaky", "3", "0", "0"))),
       Results({"two%lhttp://two", "three%lhttp://three", "one%lhttp://one", "two%lhttp://two"}),
       Paths(5, "/flaky")},
      // The walk remembered between calls belongs to one document: a download of another
      // document of the same size walks that one from its start.
      {"SameSizedDocumentIsWalkedAfresh",
       Session(std::vector<Step>(3, Fetch("@/alternating", "3", "0", "0"))),
       Results({"dos%lhttp://dos", "three%lhttp://three", "uno%lhttp://uno"}),
       Paths(4, "/alternating")},
      // A count changed between calls starts again at the first item; changed back, it goes on.
      {"CountChangedBetweenCalls",
       Session({Fetch("@/feed", "3", "30", "0"), Fetch("@/feed", "1", "30", "0"),
                Fetch("@/feed", "3", "30", "0"), Fetch("@/feed", "3", "30", "0")}),
       Results({"two%lhttp://two", "one%lhttp://one", "two%lhttp://two",
                "three%lhttp://three"}),
       Paths{"/feed"}},
      {"ZeroBytesAreCachedWhole",
       Session({Fetch("@/zero", "5", "30", "10"), Fetch("@/zero", "5", "30", "0")}),
       Results({"one%l1", "two"}), Paths{"/zero"}},
      {"RedirectIsFollowed", Session({Fetch("@/redirect", "5", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/redirect", "/feed"}},
      {"MalformedCountKeepsLine",
       Session({Fetch("@/feed", "5", "30", "0"), Fetch("@/feed", "five", "30", "0"),
                Fetch("@/feed", "5", "30", "0")}),
       Results({"two%lhttp://two", "two%lhttp://two", "%l"}), Paths{"/feed"}},
      {"ReloadStartsAfresh",
       {{"load"}, Fetch("@/feed", "5", "30", "0"), {"unload"}, {"load"},
        Fetch("@/feed", "5", "30", "10"), {"unload"}},
       {"loaded", "two%lhttp://two", "unloaded", "loaded", "one%lhttp://one", "unloaded"},
       Paths{"/feed", "/feed"}},
      FailedRefresh("RedirectLoopKeepsRotating", "@/loop"),
      FailedRefresh("RedirectToFileKeepsRotating", "@/to-file"),
      FailedRefresh("HttpsOnPlainPortKeepsRotating", "@https"),
      FailedRefresh("AnnouncedOver64MiBKeepsRotating", "@/huge-announced"),
      FailedRefresh("UnresolvableNameKeepsRotating", "@unresolvable"),
      {"GzipBodyIsCachedDecoded", Session({Fetch("@/gzip", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/gzip"}},
      {"DeflateBodyIsCachedDecoded", Session({Fetch("@/deflate", "3", "30", "0")}),
       Results({"two%lhttp://two"}), Paths{"/deflate"}},
      FailedRefresh("UndecodableBodyKeepsRotating", "@/bad-gzip"),
      FailedRefresh("CutOffCompressedBodyKeepsRotating", "@/gzip-cut"),
      // A 100 MiB bomb is refused at the 64 MiB limit without holding much more than that.
      {"DecompressionBombKeepsRotatingWithinMemory",
       Session({Fetch("@/feed", "3", "0", "0"), {"peak", "128", "@/bomb", "3", "0", "0"},
                Fetch("@/bomb", "3", "0", "0")}),
       Results({"two%lhttp://two", "three%lhttp://three", "one%lhttp://one"}),
       Paths{"/feed", "/feed", "/bomb", "/bomb"}},
      {"RedirectWithoutLocationIsAnAnswer", Session({Fetch("@/no-location", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/no-location"}},
      {"HttpsWithTrustedCertificateIsShown", Session({Fetch("@tls:good/feed", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{}},
      RefusedCertificate("HttpsForAnotherNameIsRefused", "@tls:other-name/feed",
                         "certificate for another name"),
      RefusedCertificate("HttpsWithExpiredCertificateIsRefused", "@tls:expired/feed",
                         "certificate expired"),
      RefusedCertificate("HttpsWithSelfSignedCertificateIsRefused", "@tls:self-signed/feed",
                         "certificate untrusted"),
      // The name is quoted by the platform's words, escaped; no second line is forged.
      RefusedCertificate("HttpsWithHostileNameIsToldEscaped", "@tls:hostile-name/feed",
                         "certificate for another name"),
      {"HttpRedirectToHttpsIsFollowed", Session({Fetch("@to-tls:good", "3", "30", "10")}),
       Results({"one%lhttp://one"}), std::nullopt},
      // The real time limits: a silent server costs the host's thread at most 60 s.
      {"SilentServerEndsWithinTimeLimit",
       Session({Fetch("@/feed", "3", "0", "0"), {"within", "65", "@silent", "3", "0", "0"}}),
       Results({"two%lhttp://two", "three%lhttp://three"}), Paths{"/feed", "/feed"}},
      {"SilentServerWithLongQueryEndsWithinTimeLimit",
       Session({Fetch("@/feed", "3", "0", "0"),
                {"within", "65", "@silent+long-query", "3", "0", "0"}}),
       Results({"two%lhttp://two", "three%lhttp://three"}), Paths{"/feed", "/feed"}},
      // Header lines sent one a second: the limit on the whole download ends it, not a limit
      // on each wait. No unload: under Wine the download given up on keeps running, and keeps
      // the DLL loaded, until its server lets go.
      {"TricklingHeadersEndWithinTimeLimit",
       {{"load"}, Fetch("@/feed", "3", "0", "0"),
        {"within", "65", "@trickle-headers", "3", "0", "0"}},
       {"loaded", "two%lhttp://two", "three%lhttp://three"}, Paths{"/feed", "/feed"},
       std::vector<std::string>{"@/feed: HTTP 200",
                                "@trickle-headers: download failed: time limit reached"}},
      {"LongRedirectIsFollowed", Session({Fetch("@/long-redirect", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/long-redirect", "/feed"}},
      // A Location longer than Wine's WinINet reads whole is refused on both platforms, never
      // followed to a cut address (/whole answers only a whole one).
      {"VeryLongLocationIsRefused", Session({Fetch("@/very-long-redirect", "3", "30", "10")}),
       Results({""}), Paths{"/very-long-redirect"},
       std::vector<std::string>{
           "@/very-long-redirect: download failed: redirect to an address not valid"}},
      // Addresses read alike on both platforms: the fragment stays with the reader, a port past
      // 65535 is no address, and a relative Location is joined to an address of any length.
      {"FragmentIsNotSent", Session({Fetch("@/feed#part", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/feed"}},
      {"PortOutOfRangeIsNoAddress", Session({Fetch("@port-out-of-range", "3", "30", "10")}),
       Results({""}), Paths{},
       std::vector<std::string>{"@port-out-of-range: download failed: address not valid"}},
      {"RelativeRedirectFromLongAddressIsJoined",
       Session({Fetch("@/dir/relative-redirect+long-query", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{"/dir/relative-redirect", "/feed"}},
      // FTP, which both builds read besides HTTP(S).
      {"FtpFeedIsShown", Session({Fetch("@ftp/feed.xml", "3", "30", "10")}),
       Results({"one%lhttp://one"}), Paths{},
       std::vector<std::string>{"@ftp/feed.xml: 273 bytes, 3 items"}},
      FailedRefresh("FtpMissingFileKeepsRotating", "@ftp/missing.xml"),
      {"FtpLoginRefusedIsNamed", Session({Fetch("@ftp-user:/feed.xml", "3", "30", "10")}),
       Results({""}), Paths{},
       std::vector<std::string>{"@ftp/feed.xml: download failed: login refused"}},
      {"LoadUseUnloadManyTimesLeavesNothing", {{"cycles", "300", "@/feed"}}, {"no growth"},
       Paths(320, "/feed")},
  };
}

}  // namespace

const std::vector<PluginCase>& PluginCases() {
  static const std::vector<PluginCase> cases = MakeCases();
  return cases;
}

}  // namespace feedline::test
