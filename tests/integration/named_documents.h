#pragma once

#include <map>
#include <string>

namespace feedline::test {

// Feed documents of the kinds found in the wild, served by the feed server as /doc/NAME:
//   releases       a code host's Atom release feed (feed-level links, then rel="alternate")
//   videos         a video channel's Atom feed (namespaced media:title before the title)
//   links          Atom entries with a self link before the alternate one, and a link without
//                  rel in single quotes
//   enclosure      an Atom entry whose only link is an enclosure
//   html-title     an Atom entry whose title is type="html" with escaped markup
//   rss-atom-link  an RSS 2.0 feed carrying atom:link, which stays RSS
//   rss1           an RSS 1.0 feed, whose item tags carry attributes
const std::map<std::string, std::string>& NamedDocuments();

}  // namespace feedline::test
