#pragma once

#include <string>

namespace feedline::test {

// Whether the tests run in a mount namespace of their own (isolated-network makes one).
bool HasPrivateMounts();

// Makes the test CA the system's CA bundle, for this process and every program it starts, by
// bind-mounting it over the bundle. Only done where the tests run in a mount namespace of their
// own, so the machine never changes.
// Returns an empty text when done, or why not. Run it before any TLS client reads the bundle.
std::string TrustOnlyTestCa();

}  // namespace feedline::test
