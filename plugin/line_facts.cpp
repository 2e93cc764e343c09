#include "plugin/line_facts.h"

#include "plugin/feed_walk.h"

namespace feedline {

const LineFacts* LineFactsCache::For(const FeedState& state, bool (*known)(std::string_view),
                                     bool (*validUtf8)(std::string_view)) {
  const FeedCache& cache = state.Cache;
  if (cache.Empty()) return nullptr;
  if (generation_ != cache.Generation()) {
    facts_.encoding = DecideEncoding(cache.ContentType(), cache.Text(), known, validUtf8);
    generation_ = cache.Generation();
    walkValid_ = false;
  }
  const FeedWalk& walk = state.Walk;
  if (!walk.valid) {
    facts_.titleKind = cache.IsAtom() ? TitleKind::Text : TitleKind::Html;
  } else if (!walkValid_ || position_ != walk.position) {
    const ItemParts parts = PartsAt(cache.Text(), cache.IsAtom(), walk);
    facts_.titleKind = KindOfTitle(cache.Text(), cache.IsAtom(), parts.title);
  }
  walkValid_ = walk.valid;
  position_ = walk.position;
  return &facts_;
}

}  // namespace feedline
