#pragma once

#include <cstddef>
#include <string>

namespace feedline::bench {

// A feed of realistic items (title, link, description, date, guid) filling about `bytes`.
std::string RealisticFeed(std::size_t bytes);
// `bytes` of "</item>" back to back, no start tag.
std::string ClosingTagsOnly(std::size_t bytes);
// `bytes` of prose with no tags at all.
std::string NoTags(std::size_t bytes);
// Realistic items whose titles and links are never closed.
std::string UnclosedTitlesAndLinks(std::size_t bytes);
// `count` short items (about 70 bytes each): 800,000 make 56 MiB.
std::string ShortItems(std::size_t count);
// One item whose title is `titleBytes` long.
std::string OneHugeTitle(std::size_t titleBytes);
// `bytes` of "<entry>" back to back, no end tag: an Atom document that never closes an entry.
std::string EntryStartsOnly(std::size_t bytes);

}  // namespace feedline::bench
