#pragma once

#include <string>
#include <string_view>

namespace feedline {

// The file name part of a Windows path: everything after the last '\' or ':', or all of it when
// there is neither. '/' does not separate, and neither does a byte that is the second byte of a
// double-byte character, as told by `isLeadByte` for the path's code page.
std::string_view WindowsFileNamePart(std::string_view path, bool (*isLeadByte)(unsigned char));

// The file name of the running executable, sent as the user agent; one implementation per
// platform.
std::string HostAgentName();

}  // namespace feedline
