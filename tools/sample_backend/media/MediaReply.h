#pragma once

// sample_backend::media::MediaReply: one HTTP reply of the media service, and how its sending misbehaves
// when a test asks: sent slowly in pieces, cut short after a number of body bytes with a clean close, or
// broken off with a reset. "Content-Length" always announces the whole body.
// Thread-safe as a value.

#include <chrono>
#include <cstddef>
#include <string>

namespace sample_backend::media {

struct MediaReply {
  enum class Ending {
    kComplete,    // the whole body, and the connection stays open when the client keeps it alive
    kCloseAfter,  // `endAfterBytes` of the body, then a clean close
    kResetAfter,  // `endAfterBytes` of the body, then a reset
  };

  unsigned status = 200;
  // Sent as given; no header when empty.
  std::string contentType;
  std::string body;

  // When non-zero, the body goes out in pieces of this many bytes...
  std::size_t pieceSize = 0;
  // ...with this pause of real time before each piece after the first.
  std::chrono::milliseconds pauseBetweenPieces{0};

  Ending ending = Ending::kComplete;
  std::size_t endAfterBytes = 0;
};

}  // namespace sample_backend::media
