// The single-pass selections (items, and Atom entries) over arbitrary documents and positions:
// the title and link are always cut from the document itself, the line is title + "%l" + link,
// and for positions a copying walk can still afford, the result equals that walk's, quirks
// included.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "plugin/entry_selection.h"
#include "plugin/item_selection.h"
#include "plugin/text_search.h"
#include "tests/support/copying_walk.h"

namespace {

bool Inside(std::string_view part, std::string_view document) {
  return part.empty() || (part.data() >= document.data() &&
                          part.data() + part.size() <= document.data() + document.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::int32_t k;
  std::memcpy(&k, data, sizeof k);
  const std::string document(reinterpret_cast<const char*>(data) + 4, size - 4);

  const feedline::ItemParts parts = feedline::SelectItemParts(document, k);
  if (!Inside(parts.title, document) || !Inside(parts.link, document)) __builtin_trap();

  const std::string line = feedline::SelectItem(document, k);
  const std::string composed =
      k < 1 ? "" : std::string(parts.title) + "%l" + std::string(parts.link);
  if (line != composed) __builtin_trap();

  if (k <= 256 && line != feedline::reference::CopyingSelectItem(document, k)) __builtin_trap();

  // Atom entries, explored in every document: the parts are cut from the document, and for
  // positions a copying reader can afford they equal its reading.
  const feedline::ItemParts entry = feedline::SelectEntryParts(document, k);
  if (!Inside(entry.title, document) || !Inside(entry.link, document)) __builtin_trap();
  if (k >= 1 && k <= 64 &&
      std::string(entry.title) + "%l" + std::string(entry.link) !=
          feedline::reference::CopyingSelectEntry(document, k)) {
    __builtin_trap();
  }

  for (const std::string_view needle : {"</item>", "<item>", "<title>", "</link>"}) {
    if (feedline::FindBytes(document, needle) != std::string_view(document).find(needle)) {
      __builtin_trap();
    }
  }
  return 0;
}
