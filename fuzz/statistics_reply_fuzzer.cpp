// Feeds the bytes from the statistics server, cut into reads at places the input chooses, to the message
// buffer and each message to the login reply parser, and checks that messages come out whole and in order.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "learning/player/StatisticsLoginReply.h"
#include "learning/player/StatisticsMessageBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte sets the length of the reads the rest is cut into.
  const std::size_t readLength = data[0] % 32 + 1;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  learning::StatisticsMessageBuffer buffer;
  std::string joined;
  for (std::size_t offset = 0; offset < stream.size(); offset += readLength) {
    for (const std::string& message : buffer.append(stream.substr(offset, readLength))) {
      if (!message.ends_with(learning::StatisticsMessageBuffer::kEndMark)) {
        std::abort();
      }
      joined += message;
      const auto reply = learning::StatisticsLoginReply::parse(message);
      if (reply && (reply->distributeId.find('|') != std::string::npos ||
                    reply->token.find('|') != std::string::npos)) {
        std::abort();
      }
    }
  }
  // Nothing is invented or reordered: the messages are the stream's start, bar an overlong unended stretch.
  if (stream.size() <= learning::StatisticsMessageBuffer::kMaximumPendingBytes &&
      !stream.starts_with(joined)) {
    std::abort();
  }
  return 0;
}
