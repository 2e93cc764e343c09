#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace feedline {

// The title and link of one item, as views into the document they were cut from.
struct ItemParts {
  std::string_view title;
  std::string_view link;
};

// The text between the first `openTag` and the next `closeTag` after it. When `openTag` is
// absent the search starts at byte length(openTag) - 1; when `closeTag` is absent the result is
// empty.
std::string_view ExtractBetween(std::string_view openTag, std::string_view closeTag,
                                std::string_view text);

// The text behind the first `tag`; when `tag` is absent, the text without its first
// length(tag) - 1 bytes.
std::string_view TextAfter(std::string_view tag, std::string_view text);

// Where the text left after `passes` walk steps from `offset` begins: each step moves past the
// next "</item>", or, when there is none, drops length("</item>") - 1 bytes. Walking k - 1
// steps from 0 reaches the k-th item's text; one more step from there reaches the next one's.
std::size_t SkipItemsFrom(std::string_view document, std::size_t offset, std::uint32_t passes);

// Title and link of the item whose text begins at `offset` (as SkipItemsFrom finds it).
ItemParts ItemPartsAt(std::string_view document, std::size_t offset);

// Title and link of the k-th item (1-based), found by walking past k - 1 "</item>" tags.
// Takes one pass over the document, whatever k is; k below 1 selects nothing.
ItemParts SelectItemParts(std::string_view document, std::int32_t k);

// Writes title + "%l" + link into `line`, reusing its storage.
void ComposeLine(const ItemParts& item, std::string& line);

// The display line of the k-th item: title + "%l" + link.
std::string SelectItem(std::string_view document, std::int32_t k);

}  // namespace feedline
