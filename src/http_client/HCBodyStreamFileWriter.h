#pragma once

// Copies a request's body stream into a file, so that the body can be sent later from the file or looked
// at. Thread-safety: any thread; the stream is read on the calling thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"
#include "platform/net/InputStream.h"

namespace http_client {

// Opens `stream`, writes everything it delivers into the file at `path` (created, or emptied first) and
// closes both. Returns success only when the stream ended without error and every byte reached the file,
// which then holds `expectedLength` bytes when that is given. Returns the stream's error, the file's error
// (it cannot be opened or written), or kHCRequestErrorShortWrite for a file that took fewer bytes than it
// was given or than `expectedLength`. A stream that was opened before gives kHCRequestErrorBodyLengthMismatch
// and no file.
ns::Status HCWriteBodyStreamToFile(ns::InputStream& stream, const std::string& path,
                                   std::optional<std::uint64_t> expectedLength);

}  // namespace http_client
