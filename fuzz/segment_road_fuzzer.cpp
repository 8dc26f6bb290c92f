// The media engine's segment road on arbitrary bytes: the input is decrypted as a segment would be (with a
// fixed key and IV) and both the plaintext, when the padding checks out, and the input itself are demuxed
// as an MPEG transport stream to their end. Whatever the bytes, demuxing ends (packets or an error), the
// tracks of an opened stream are at least one, and every packet names a stream. A transport stream may add
// streams after the tracks found at open, so a packet's stream need not be one of those tracks.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "platform/avfoundation/LibavLog.h"
#include "platform/avfoundation/SegmentStream.h"
#include "platform/avfoundation/TransportStreamDemuxer.h"
#include "platform/foundation/crypto/Aes128Cbc.h"

namespace {

const ns::Data kKey = ns::dataFromString("0123456789abcdef");
const ns::Data kIV = ns::Data(ns::kAesBlockSize, 0);

void demux(ns::Data bytes) {
  auto stream = std::make_shared<av::SegmentStream>(nullptr);
  stream->append(std::move(bytes));
  // The whole stream is queued and finished before reading, so no read waits.
  stream->finish();
  av::TransportStreamDemuxer demuxer(stream);
  const ns::Result<std::vector<av::MediaTrack>> tracks = demuxer.open();
  if (!tracks.ok()) {
    return;
  }
  requireProperty(!tracks->empty(), "an opened stream has a track");
  while (true) {
    ns::Result<av::PacketPointer> packet = demuxer.readPacket();
    if (!packet.ok() || !*packet) {
      return;
    }
    requireProperty((*packet)->stream_index >= 0, "a packet names a stream");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Arbitrary bytes are damaged packets throughout; a line for each would drown the fuzzer's own output.
  av::LibavLog::silence();
  const std::span<const std::uint8_t> input(data, size);
  if (ns::Result<ns::Data> plain = ns::aes128CbcDecrypt(kKey, kIV, input); plain.ok()) {
    demux(std::move(*plain));
  }
  demux(ns::Data(input.begin(), input.end()));
  return 0;
}
