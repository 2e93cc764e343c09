#include "plugin/feed_walk.h"

#include "plugin/entry_selection.h"

namespace feedline {

FeedWalk WalkTo(std::string_view document, bool atom, std::int32_t k) {
  if (!atom) {
    return {true, k, SkipItemsFrom(document, 0, static_cast<std::uint32_t>(k) - 1)};
  }
  return {true, k, NthEntryStart(document, k)};
}

FeedWalk WalkOn(std::string_view document, bool atom, const FeedWalk& walk) {
  if (!atom) return {true, walk.position + 1, SkipItemsFrom(document, walk.offset, 1)};
  const std::size_t next = walk.offset == std::string_view::npos
                               ? std::string_view::npos
                               : NextEntryStart(document, walk.offset + 1);
  return {true, walk.position + 1, next};
}

ItemParts PartsAt(std::string_view document, bool atom, const FeedWalk& walk) {
  if (!atom) return ItemPartsAt(document, walk.offset);
  return walk.offset == std::string_view::npos ? ItemParts{} : EntryPartsAt(document, walk.offset);
}

}  // namespace feedline
