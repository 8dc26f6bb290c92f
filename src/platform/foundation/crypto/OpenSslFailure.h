#pragma once

// Ends the process when OpenSSL fails at something the platform always provides (a digest, random bytes):
// that means a broken installation, and no caller could do anything sensible with a missing digest or
// with predictable randomness. Internal to platform/foundation/crypto.

namespace ns {

// Prints `operation` and OpenSSL's queued error to standard error, then aborts.
[[noreturn]] void abortOnOpenSslFailure(const char* operation);

}  // namespace ns
