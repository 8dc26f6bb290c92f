#include "http_client/HCMultipartBodyStream.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/foundation/check/Check.h"

namespace http_client {

HCMultipartBodyStream::HCMultipartBodyStream(ns::StringEncoding stringEncoding)
    : stringEncoding_(std::move(stringEncoding)) {}

ns::Result<std::shared_ptr<HCMultipartBodyStream>> HCMultipartBodyStream::copy() const {
  auto stream = std::make_shared<HCMultipartBodyStream>(stringEncoding_);
  for (const std::unique_ptr<HCHTTPBodyPart>& part : parts_) {
    ns::Result<std::unique_ptr<HCHTTPBodyPart>> partCopy = part->copy();
    if (!partCopy) {
      return partCopy.error();
    }
    stream->appendHTTPBodyPart(std::move(*partCopy));
  }
  stream->setInitialAndFinalBoundaries();
  return stream;
}

void HCMultipartBodyStream::appendHTTPBodyPart(std::unique_ptr<HCHTTPBodyPart> part) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  QM_DCHECK(streamStatus() == ns::StreamStatus::kNotOpen, "the stream is not open yet");
  parts_.push_back(std::move(part));
}

void HCMultipartBodyStream::setInitialAndFinalBoundaries() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  for (const std::unique_ptr<HCHTTPBodyPart>& part : parts_) {
    part->setHasInitialBoundary(false);
    part->setHasFinalBoundary(false);
  }
  if (!parts_.empty()) {
    parts_.front()->setHasInitialBoundary(true);
    parts_.back()->setHasFinalBoundary(true);
  }
}

std::uint64_t HCMultipartBodyStream::contentLength() const {
  std::uint64_t length = 0;
  for (const std::unique_ptr<HCHTTPBodyPart>& part : parts_) {
    length += part->contentLength();
  }
  return length;
}

void HCMultipartBodyStream::open() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (streamStatus() != ns::StreamStatus::kNotOpen) {
    return;
  }
  setInitialAndFinalBoundaries();
  currentPart_ = 0;
  setStatus(ns::StreamStatus::kOpen);
}

void HCMultipartBodyStream::close() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  // The parts close their bodies' streams (open files) when they are released.
  if (streamStatus() != ns::StreamStatus::kError) {
    setStatus(ns::StreamStatus::kClosed);
  }
}

std::ptrdiff_t HCMultipartBodyStream::read(std::uint8_t* buffer, std::size_t maxLength) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (streamStatus() == ns::StreamStatus::kError) {
    return -1;
  }
  if (streamStatus() != ns::StreamStatus::kOpen) {
    return 0;
  }
  const std::uint64_t callLimit = std::min<std::uint64_t>(maxLength, numberOfBytesInPacket_);
  std::size_t delivered = 0;
  while (delivered < callLimit) {
    if (currentPart_ >= parts_.size()) {
      setStatus(ns::StreamStatus::kAtEnd);
      break;
    }
    HCHTTPBodyPart& part = *parts_[currentPart_];
    if (!part.hasBytesAvailable()) {
      ++currentPart_;
      continue;
    }
    const std::ptrdiff_t count = part.read(buffer + delivered, maxLength - delivered);
    if (count < 0) {
      // What this call delivered is dropped with the rest: the body as a whole has failed.
      failWith(*part.streamError());
      return -1;
    }
    delivered += static_cast<std::size_t>(count);
    if (delay_ > 0) {
      std::this_thread::sleep_for(std::chrono::duration<double>(delay_));
    }
  }
  return static_cast<std::ptrdiff_t>(delivered);
}

bool HCMultipartBodyStream::hasBytesAvailable() const {
  return streamStatus() == ns::StreamStatus::kOpen;
}

}  // namespace http_client
