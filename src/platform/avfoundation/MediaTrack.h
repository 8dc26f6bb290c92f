#pragma once

// av::MediaTrack: one track of a demuxed stream, as a decoder needs it: its kind, the codec parameters and
// the time base of its packets' timestamps. Owns its copy of the parameters. Thread-safety: one thread at a
// time; a const track may be read anywhere.

#include "platform/avfoundation/LibavPointers.h"

namespace av {

struct MediaTrack {
  // The stream index its packets carry.
  int index = 0;
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  AVRational timeBase{0, 1};
  CodecParametersPointer parameters;
};

}  // namespace av
