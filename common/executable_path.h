#pragma once

#include <string>

namespace feedline {

// The running program's executable, links resolved; empty when the system cannot tell.
std::string ExecutablePath();

}  // namespace feedline
