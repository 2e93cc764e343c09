#include "plugin/item_selection.h"

#include <algorithm>
#include <cstring>

#include "plugin/text_search.h"

namespace feedline {
namespace {

constexpr std::string_view kItemOpen = "<item>";
constexpr std::string_view kItemClose = "</item>";
constexpr std::string_view kTitleOpen = "<title>";
constexpr std::string_view kTitleClose = "</title>";
constexpr std::string_view kLinkOpen = "<link>";
constexpr std::string_view kLinkClose = "</link>";

// The text behind `tag` found at `hit`, or, when it is absent, without its first length - 1 bytes.
std::string_view Behind(std::string_view tag, std::string_view text, std::size_t hit) {
  const std::size_t start = hit == std::string_view::npos ? tag.size() - 1 : hit + tag.size();
  return text.substr(std::min(start, text.size()));
}

// Moves `text` past `passes` "</item>" tags, as that many TextAfter steps would.
std::string_view SkipItems(std::string_view text, std::uint32_t passes) {
  while (passes > 0 && !text.empty()) {
    // Tags standing back to back are taken without a search call each, in a loop of their own:
    // a document of nothing but "</item>" costs a compare per tag, not a search.
    std::size_t run = 0;
    while (passes > 0 && text.size() - run >= kItemClose.size() &&
           std::memcmp(text.data() + run, kItemClose.data(), kItemClose.size()) == 0) {
      run += kItemClose.size();
      --passes;
    }
    text.remove_prefix(run);
    if (passes == 0 || text.empty()) break;
    const std::size_t hit = FindBytes(text, kItemClose);
    if (hit == std::string_view::npos) {
      // No later suffix holds the tag either: every remaining pass drops length - 1 bytes.
      const std::uint64_t dropped = static_cast<std::uint64_t>(passes) * (kItemClose.size() - 1);
      return dropped >= text.size() ? text.substr(text.size())
                                    : text.substr(static_cast<std::size_t>(dropped));
    }
    text = text.substr(hit + kItemClose.size());
    --passes;
  }
  return text;
}

// ExtractBetween("<item>", "</item>", text), searching the text once in the usual cases.
std::string_view ItemText(std::string_view text) {
  const std::size_t close = FindBytes(text, kItemClose);
  // What follows any start tag is a suffix of the text: no close tag there either.
  if (close == std::string_view::npos) return text.substr(0, 0);
  // A start tag cannot overlap the first close tag, so one before it lies wholly before it,
  // and the first close tag behind that start tag is this one.
  const std::size_t open = FindBytes(text.substr(0, close), kItemOpen);
  if (open != std::string_view::npos) {
    return text.substr(open + kItemOpen.size(), close - open - kItemOpen.size());
  }
  return ExtractBetween(kItemOpen, kItemClose, text);
}

}  // namespace

std::string_view ExtractBetween(std::string_view openTag, std::string_view closeTag,
                                std::string_view text) {
  const std::string_view rest = Behind(openTag, text, FindBytes(text, openTag));
  const std::size_t close = FindBytes(rest, closeTag);
  return close == std::string_view::npos ? rest.substr(0, 0) : rest.substr(0, close);
}

std::string_view TextAfter(std::string_view tag, std::string_view text) {
  return Behind(tag, text, FindBytes(text, tag));
}

std::size_t SkipItemsFrom(std::string_view document, std::size_t offset, std::uint32_t passes) {
  const std::string_view rest = SkipItems(document.substr(std::min(offset, document.size())), passes);
  return document.size() - rest.size();
}

ItemParts ItemPartsAt(std::string_view document, std::size_t offset) {
  const std::string_view item = ItemText(document.substr(std::min(offset, document.size())));
  return {ExtractBetween(kTitleOpen, kTitleClose, item), ExtractBetween(kLinkOpen, kLinkClose, item)};
}

ItemParts SelectItemParts(std::string_view document, std::int32_t k) {
  if (k < 1) return {};
  // Only the last pass's item is shown, so earlier passes just move past one "</item>" each.
  return ItemPartsAt(document, SkipItemsFrom(document, 0, static_cast<std::uint32_t>(k) - 1));
}

void ComposeLine(const ItemParts& item, std::string& line) {
  line.assign(item.title);
  line.append("%l");
  line.append(item.link);
}

std::string SelectItem(std::string_view document, std::int32_t k) {
  std::string line;
  if (k >= 1) ComposeLine(SelectItemParts(document, k), line);
  return line;
}

}  // namespace feedline
