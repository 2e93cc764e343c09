#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugin/item_selection.h"

namespace feedline {

// Atom feeds, read only where the item walk finds nothing to read: a document is read as Atom
// when it holds neither "<item>" nor "</item>" and holds an entry start tag ("<entry" followed
// by ">", "/" or white space). Every other document keeps the item walk, byte for byte.
bool IsAtomDocument(std::string_view document);

// Where the first entry start tag at or after `from` begins, or npos.
std::size_t NextEntryStart(std::string_view document, std::size_t from);

// Where the k-th entry start tag (1-based, k at least 1) begins, or npos past the last one.
std::size_t NthEntryStart(std::string_view document, std::int32_t k);

// The title and link of the entry whose start tag begins at `start`. The entry runs to the
// first "</entry>" after it, or to the end. Its title is the content of its first title start
// tag (attributes allowed) up to the next "</title>", empty without one or when self-closing;
// its link is the href of its first "<link" whose rel is absent or exactly "alternate", empty
// when none is. Both are the document's raw bytes.
ItemParts EntryPartsAt(std::string_view document, std::size_t start);

// Title and link of the k-th entry (1-based); empty parts past the last entry or for k below 1.
// One pass over the document, whatever k is.
ItemParts SelectEntryParts(std::string_view document, std::int32_t k);

// The value of the attribute `name` in `attributes`, the text of a start tag after its element
// name: quoted, or unquoted up to white space. `found` says whether the attribute is there.
std::string_view AttributeValue(std::string_view attributes, std::string_view name, bool& found);

// The number of entry start tags.
std::uint64_t CountEntries(std::string_view document);

}  // namespace feedline
