#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugin/item_selection.h"

namespace feedline {

// The walk to a position of a cached document, kept between calls so that the next position
// continues where this one ended instead of walking from the start. `offset` is where the k-th
// item's text begins (items), or the k-th entry's start tag (Atom entries; npos past the last).
struct FeedWalk {
  bool valid = false;       // false: no walk belongs to the cached document
  std::int32_t position = 0;
  std::size_t offset = 0;
};

// The walk to position k (1 or more) from the start of `document`.
FeedWalk WalkTo(std::string_view document, bool atom, std::int32_t k);

// The walk to the position after `walk`'s, continuing from where it ended.
FeedWalk WalkOn(std::string_view document, bool atom, const FeedWalk& walk);

// The title and link at the end of `walk`.
ItemParts PartsAt(std::string_view document, bool atom, const FeedWalk& walk);

}  // namespace feedline
