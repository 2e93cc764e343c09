#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "plugin/entry_selection.h"

namespace feedline {

// The last downloaded feed document, whole and unchanged, readable as one byte string.
class FeedCache {
 public:
  std::string_view Text() const { return bytes_; }
  // Whether the document is read as an Atom feed (decided once, when it arrives).
  bool IsAtom() const { return atom_; }
  std::uint64_t Size() const { return bytes_.size(); }
  bool Empty() const { return bytes_.empty(); }

  // Replaces the contents with a completed download; the old document is released.
  void Replace(std::string&& document) {
    std::string old = std::exchange(bytes_, std::move(document));
    atom_ = IsAtomDocument(bytes_);
  }

 private:
  std::string bytes_;
  bool atom_ = false;
};

}  // namespace feedline
