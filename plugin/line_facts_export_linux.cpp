// The Linux library's one export beyond the three every host knows: what it knows of the line
// it returned (see exports.h). The Windows DLL has no such export.
#include "plugin/exports.h"
#include "plugin/iconv_charsets_linux.h"
#include "plugin/line_facts.h"

extern "C" const FeedlineLineFacts* feedline_line_facts() noexcept {
  const feedline::FeedState* state = feedline::CurrentState();
  if (state == nullptr) return nullptr;
  try {
    static feedline::LineFactsCache cache;
    static FeedlineLineFacts facts;
    const feedline::LineFacts* known = cache.For(*state, &feedline::IconvKnows, &feedline::IsUtf8);
    if (known == nullptr) return nullptr;
    facts.encoding = known->encoding.name.c_str();
    facts.encodingSource = feedline::DescribeSource(known->encoding.source).data();
    facts.titleKind = feedline::TitleKindName(known->titleKind).data();
    facts.ignoredEncodings = known->encoding.ignored.c_str();
    return &facts;
  } catch (...) {
    return nullptr;
  }
}
