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

  // The server's Content-Type for the document; empty where there was none (a file, FTP).
  std::string_view ContentType() const { return contentType_; }
  // Counts the documents the cache has held, so that what was derived from one is known stale.
  std::uint64_t Generation() const { return generation_; }

  // Replaces the contents with a completed download; the old document is released.
  void Replace(std::string&& document, std::string contentType = {}) {
    std::string old = std::exchange(bytes_, std::move(document));
    atom_ = IsAtomDocument(bytes_);
    contentType_ = std::move(contentType);
    ++generation_;
  }

 private:
  std::string bytes_;
  bool atom_ = false;
  std::string contentType_;
  std::uint64_t generation_ = 0;
};

}  // namespace feedline
