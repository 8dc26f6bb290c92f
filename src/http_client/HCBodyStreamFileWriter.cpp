#include "http_client/HCBodyStreamFileWriter.h"

#include <vector>

#include "http_client/HCURLRequestSerialization.h"
#include "platform/net/OutputStream.h"

namespace http_client {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

ns::Error shortWriteError(const std::string& path, std::uint64_t written, std::uint64_t expected) {
  return ns::Error(std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorShortWrite,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                   "Only " + std::to_string(written) + " of " + std::to_string(expected) +
                                       " bytes of the body reached " + path}});
}

ns::Error streamErrorOr(const ns::Stream& stream, const std::string& path, std::uint64_t written,
                        std::uint64_t expected) {
  return stream.streamError().value_or(shortWriteError(path, written, expected));
}

// Writes all `length` bytes; returns the error that stopped it.
ns::Status writeAll(ns::OutputStream& output, const std::uint8_t* bytes, std::size_t length,
                    const std::string& path, std::uint64_t writtenBefore) {
  std::size_t written = 0;
  while (written < length) {
    const std::ptrdiff_t count = output.write(bytes + written, length - written);
    if (count <= 0) {
      return streamErrorOr(output, path, writtenBefore + written, writtenBefore + length);
    }
    written += static_cast<std::size_t>(count);
  }
  return {};
}

ns::Status copyStream(ns::InputStream& input, ns::OutputStream& output, const std::string& path,
                      std::optional<std::uint64_t> expectedLength) {
  if (input.streamStatus() == ns::StreamStatus::kError) {
    return *input.streamError();
  }
  if (output.streamStatus() == ns::StreamStatus::kError) {
    return *output.streamError();
  }
  std::vector<std::uint8_t> buffer(kChunkSize);
  std::uint64_t total = 0;
  while (input.streamStatus() == ns::StreamStatus::kOpen) {
    const std::ptrdiff_t count = input.read(buffer.data(), buffer.size());
    if (count < 0 || input.streamStatus() == ns::StreamStatus::kError) {
      return streamErrorOr(input, path, total, expectedLength.value_or(total));
    }
    if (count == 0) {
      break;
    }
    if (ns::Status written = writeAll(output, buffer.data(), static_cast<std::size_t>(count), path, total);
        !written) {
      return written;
    }
    total += static_cast<std::uint64_t>(count);
  }
  if (expectedLength && total != *expectedLength) {
    return shortWriteError(path, total, *expectedLength);
  }
  return {};
}

}  // namespace

ns::Status HCWriteBodyStreamToFile(ns::InputStream& stream, const std::string& path,
                                   std::optional<std::uint64_t> expectedLength) {
  if (stream.streamStatus() != ns::StreamStatus::kNotOpen) {
    // A stream is read once: what is left of it is not the body.
    return ns::Error(std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorBodyLengthMismatch,
                     ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                     "The body stream has been read before and cannot be written whole"}});
  }
  const std::shared_ptr<ns::OutputStream> output =
      ns::OutputStream::toFileAtPath(path, ns::OutputStream::FileMode::kTruncate);
  stream.open();
  output->open();
  ns::Status result = copyStream(stream, *output, path, expectedLength);
  output->close();
  stream.close();
  return result;
}

}  // namespace http_client
