#pragma once

// av::StreamDecoderDelegate: what a StreamDecoder tells the player item it decodes for. All calls come on
// the run loop the decoder was started on, never inside StreamDecoder::start(), in this order:
//
//   streamDecoderOpened          once, when the decoders are open and decoding begins;
//   streamDecoderAdvanced        when pictures came that were not announced yet, when the decoder has
//                                taken every packet there is and waits for more, and when it has decoded
//                                the stream to its end;
//   streamDecoderDidFail         at most once, last: the pictures would not decode.
//
// The delegate may destroy the decoder in any callback.

#include "platform/foundation/values/Error.h"

namespace av {

class StreamDecoder;

class StreamDecoderDelegate {
 public:
  virtual ~StreamDecoderDelegate() = default;

  virtual void streamDecoderOpened(StreamDecoder& /*decoder*/) {}
  virtual void streamDecoderAdvanced(StreamDecoder& /*decoder*/) {}
  // `error` is a kMediaErrorDomain error with FFmpeg's reason.
  virtual void streamDecoderDidFail(StreamDecoder& /*decoder*/, const ns::Error& /*error*/) {}
};

}  // namespace av
