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

// What a host can rely on:
// - Every returned pointer is valid until the next call into the library or until it is
//   unloaded, whichever comes first; copy the text to keep it longer.
// - One thread at a time. The library takes no lock: a host that calls from several threads
//   must serialise the calls itself.
// - One loaded copy of the library serves one feed. Its state (the document, the position, the
//   times) belongs to the loaded library; a host showing two feeds loads two copies.
// - The refresh and rotation intervals are measured on the local wall clock, on purpose (that is
//   what the hosts' users set and read): a clock step, a time-zone or a daylight-saving change
//   moves the next refresh and rotation with it.
// - Nothing is thrown into the host: each function is noexcept, and a failure inside shows as
//   the line shown before or as an empty line.
extern "C" {
// "FetchRSS": the names of the functions this library offers.
FEEDLINE_EXPORT const char* init() noexcept;
// The parameter labels of the function `name` ("RSS Feed URL|...|"), or "" for any other name.
FEEDLINE_EXPORT const char* FEEDLINE_CALL getparam(const char* name) noexcept;
// One feed item as title + "%l" + link; downloads on the first call and after every refresh
// interval, advances after every rotation interval, and wraps after `count` items.
FEEDLINE_EXPORT const char* FEEDLINE_CALL FetchRSS(const char* url, const char* count,
                                                   const char* updateMinutes,
                                                   const char* rotateSeconds) noexcept;
}

#if !defined(_WIN32)
// One more export of the Linux library, for hosts that turn its bytes into text: what it knows
// of the line it last returned that the bytes cannot say. FetchRSS's bytes are the same whether
// a host asks or not, and init does not list it; a host finds it with dlsym and must do without
// it when it is absent (another build of the plug-in). The Windows DLL exports only the three
// functions above.
// - The texts are ASCII or the document's own declared name, NUL-terminated, and valid until the
//   next call into the library.
// - Worked out once per downloaded document and once per position, and only when asked.
struct FeedlineLineFacts {
  // The document's character encoding as declared ("windows-1251", "KOI8-R"), or "UTF-8" or
  // "windows-1252" when nothing usable is declared. A name iconv knows.
  const char* encoding;
  // Where it comes from: "HTTP charset", "byte order mark", "XML declaration",
  // "undeclared, valid UTF-8" or "undeclared, not UTF-8".
  const char* encodingSource;
  // How the title is meant to be read: "html" (RSS, Atom type="html"), "text" (Atom's default)
  // or "xhtml" (Atom type="xhtml").
  const char* titleKind;
  // Declared encodings that iconv does not know and were passed over, each with its source
  // ("x-klingon (HTTP charset)"), "; " between them; "" when none was.
  const char* ignoredEncodings;
};
extern "C" {
// The facts of the line the last FetchRSS call returned; null before any document arrived.
FEEDLINE_EXPORT const FeedlineLineFacts* feedline_line_facts() noexcept;
}
#endif
