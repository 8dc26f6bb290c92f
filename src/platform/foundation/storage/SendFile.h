#pragma once

// ns::sendFile(): hands bytes of an open file straight to a connected socket, without copying them through
// the caller's memory: the way a web server sends a file. Thread-safety: a pure function of its arguments.

#include <cstddef>
#include <cstdint>

#include "platform/foundation/values/Result.h"

namespace ns {

// Sends up to `count` bytes of the file `fileDescriptor`, from `offset`, on the socket `socketDescriptor`.
// Returns the number of bytes sent: fewer than `count` when the socket had no room for more, 0 when the file
// ends at `offset`. Fails with a POSIX-domain error; EAGAIN means a non-blocking socket has no room now
// and nothing was sent, EPIPE or ECONNRESET that the peer has gone. The file's own position does not move.
// REQUIRES: ignoreBrokenPipeSignal() has been called, since a send to a peer that has gone raises SIGPIPE.
Result<std::size_t> sendFile(int socketDescriptor, int fileDescriptor, std::uint64_t offset,
                             std::size_t count);

}  // namespace ns
