#pragma once

namespace feedline {

// Whether `url` is a file: address naming something that exists but is not a regular file (a
// FIFO, a device, a directory): opening it could block the caller's thread for ever. A missing
// file is not special: its download merely fails.
bool NamesSpecialFile(const char* url);

}  // namespace feedline
