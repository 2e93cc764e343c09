#pragma once

#include <cstdint>
#include <string_view>

#include "plugin/document_encoding.h"
#include "plugin/feed_state.h"
#include "plugin/title_kind.h"

namespace feedline {

// What the library knows of the line it shows and a host cannot see in its bytes.
struct LineFacts {
  DocumentEncoding encoding;
  TitleKind titleKind = TitleKind::Html;
};

// The facts of the line a state shows, worked out once per document (the encoding) and once per
// position (the title's kind), and only when asked: a host that never asks pays nothing.
class LineFactsCache {
 public:
  // Null while the state holds no document.
  const LineFacts* For(const FeedState& state, bool (*known)(std::string_view name),
                       bool (*validUtf8)(std::string_view bytes));

 private:
  std::uint64_t generation_ = 0;  // the document the encoding belongs to; 0 for none
  bool walkValid_ = false;        // the position the title's kind belongs to
  std::int32_t position_ = 0;
  LineFacts facts_;
};

}  // namespace feedline
