#pragma once

// The three functions a host finds by name. On 32-bit Windows getparam and FetchRSS use the
// stdcall convention; the module-definition file exports them without decoration.
#if defined(_WIN32)
#define FEEDLINE_CALL __stdcall
#define FEEDLINE_EXPORT
#else
#define FEEDLINE_CALL
#define FEEDLINE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
FEEDLINE_EXPORT const char* init();
FEEDLINE_EXPORT const char* FEEDLINE_CALL getparam(const char* name);
FEEDLINE_EXPORT const char* FEEDLINE_CALL FetchRSS(const char* url, const char* count,
                                                   const char* updateMinutes,
                                                   const char* rotateSeconds);
}
