#pragma once

#include <windows.h>

#include <string>

#include "download/download_feed.h"

namespace feedline {

// Puts a failed WinINet call into `report` in words: a fixed phrase for the kind of failure
// ("name not resolved"), and as detail WinINet's error number and, where the system has one,
// its message ("WinINet error 12007: The server name could not be resolved").
void SetWinInetFailure(DWORD error, DownloadReport& report);

}  // namespace feedline
