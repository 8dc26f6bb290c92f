#include "http_client/HCHTTPBodyPart.h"

#include <algorithm>
#include <cstring>

#include "http_client/HCURLRequestSerialization.h"
#include "platform/foundation/check/Check.h"

namespace http_client {

namespace {

constexpr char kCRLF[] = "\r\n";

ns::Error bodyLengthError(std::uint64_t declared, const char* what) {
  return ns::Error(std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorBodyLengthMismatch,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                   std::string("A part's body ") + what + " its declared length of " +
                                       std::to_string(declared) + " bytes"}});
}

}  // namespace

HCHTTPBodyPart::HCHTTPBodyPart(ns::StringEncoding stringEncoding, std::string boundary,
                               ns::HTTPHeaderFields headers, Body body, std::uint64_t bodyContentLength)
    : stringEncoding_(std::move(stringEncoding)),
      boundary_(std::move(boundary)),
      headers_(std::move(headers)),
      body_(std::move(body)),
      bodyContentLength_(bodyContentLength) {}

HCHTTPBodyPart::~HCHTTPBodyPart() {
  if (inputStream_) {
    inputStream_->close();
  }
}

ns::Result<std::unique_ptr<HCHTTPBodyPart>> HCHTTPBodyPart::copy() const {
  if (std::holds_alternative<std::shared_ptr<ns::InputStream>>(body_)) {
    return ns::Error(std::string(kHCURLRequestSerializationErrorDomain), kHCRequestErrorStreamNotCopyable,
                     ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                     "A part read from a stream cannot be copied: the stream is read once"}});
  }
  auto part =
      std::make_unique<HCHTTPBodyPart>(stringEncoding_, boundary_, headers_, body_, bodyContentLength_);
  return part;
}

ns::Data HCHTTPBodyPart::encoded(const std::string& text) const {
  return stringEncoding_.encode(text).value_or(ns::dataFromString(text));
}

ns::Data HCHTTPBodyPart::boundaryBytes() const {
  return encoded(hasInitialBoundary_ ? "--" + boundary_ + kCRLF : kCRLF + ("--" + boundary_) + kCRLF);
}

ns::Data HCHTTPBodyPart::finalBoundaryBytes() const {
  return hasFinalBoundary_ ? encoded(kCRLF + ("--" + boundary_) + "--" + kCRLF) : ns::Data();
}

std::string HCHTTPBodyPart::stringForHeaders() const {
  std::string text;
  for (const auto& [name, value] : headers_) {
    text += name + ": " + value + kCRLF;
  }
  return text + kCRLF;
}

std::uint64_t HCHTTPBodyPart::contentLength() const {
  return boundaryBytes().size() + encoded(stringForHeaders()).size() + bodyContentLength_ +
         finalBoundaryBytes().size();
}

std::ptrdiff_t HCHTTPBodyPart::read(std::uint8_t* buffer, std::size_t maxLength) {
  std::size_t total = 0;
  while (!exhausted_ && total < maxLength) {
    switch (phase_) {
      case Phase::kEncapsulationBoundary:
        total += readPhaseData(boundaryBytes(), buffer + total, maxLength - total);
        break;
      case Phase::kHeaders:
        total += readPhaseData(encoded(stringForHeaders()), buffer + total, maxLength - total);
        break;
      case Phase::kBody: {
        const std::ptrdiff_t count = readBody(buffer + total, maxLength - total);
        if (count < 0) {
          return -1;
        }
        total += static_cast<std::size_t>(count);
        break;
      }
      case Phase::kFinalBoundary:
        total += readPhaseData(finalBoundaryBytes(), buffer + total, maxLength - total);
        break;
    }
  }
  return static_cast<std::ptrdiff_t>(total);
}

std::size_t HCHTTPBodyPart::readPhaseData(const ns::Data& bytes, std::uint8_t* buffer,
                                          std::size_t maxLength) {
  const std::size_t offset = static_cast<std::size_t>(phaseReadOffset_);
  const std::size_t count = std::min(bytes.size() - offset, maxLength);
  if (count > 0) {
    std::memcpy(buffer, bytes.data() + offset, count);
  }
  phaseReadOffset_ += count;
  if (phaseReadOffset_ >= bytes.size()) {
    transitionToNextPhase();
  }
  return count;
}

std::ptrdiff_t HCHTTPBodyPart::readBody(std::uint8_t* buffer, std::size_t maxLength) {
  ns::InputStream& stream = inputStream();
  if (stream.streamStatus() == ns::StreamStatus::kError) {
    return fail(stream.streamError().value_or(bodyLengthError(bodyContentLength_, "could not be read for")));
  }
  const std::uint64_t remaining = bodyContentLength_ - bodyBytesRead_;
  if (remaining > 0) {
    const std::ptrdiff_t count =
        stream.streamStatus() == ns::StreamStatus::kOpen
            ? stream.read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(remaining, maxLength)))
            : 0;
    if (count < 0) {
      return fail(stream.streamError().value_or(bodyLengthError(bodyContentLength_, "failed before")));
    }
    if (count == 0) {
      return fail(bodyLengthError(bodyContentLength_, "ended before"));
    }
    bodyBytesRead_ += static_cast<std::uint64_t>(count);
    if (bodyBytesRead_ < bodyContentLength_) {
      return count;
    }
    if (!bodyEndsAtDeclaredLength()) {
      return -1;
    }
    transitionToNextPhase();
    return count;
  }
  if (!bodyEndsAtDeclaredLength()) {
    return -1;
  }
  transitionToNextPhase();
  return 0;
}

bool HCHTTPBodyPart::bodyEndsAtDeclaredLength() {
  ns::InputStream& stream = inputStream();
  if (stream.streamStatus() != ns::StreamStatus::kOpen) {
    return true;
  }
  // A stream says it is at its end only once a read has found nothing more.
  std::uint8_t extra = 0;
  const std::ptrdiff_t count = stream.read(&extra, 1);
  if (count < 0) {
    fail(stream.streamError().value_or(bodyLengthError(bodyContentLength_, "failed at")));
    return false;
  }
  if (count > 0) {
    fail(bodyLengthError(bodyContentLength_, "goes on past"));
    return false;
  }
  return true;
}

ns::InputStream& HCHTTPBodyPart::inputStream() {
  if (!inputStream_) {
    if (const auto* data = std::get_if<ns::Data>(&body_)) {
      inputStream_ = ns::InputStream::withData(*data);
    } else if (const auto* file = std::get_if<FilePath>(&body_)) {
      inputStream_ = ns::InputStream::withFileAtPath(file->path);
    } else {
      inputStream_ = std::get<std::shared_ptr<ns::InputStream>>(body_);
    }
  }
  return *inputStream_;
}

void HCHTTPBodyPart::transitionToNextPhase() {
  phaseReadOffset_ = 0;
  switch (phase_) {
    case Phase::kEncapsulationBoundary:
      phase_ = Phase::kHeaders;
      break;
    case Phase::kHeaders:
      phase_ = Phase::kBody;
      inputStream().open();
      break;
    case Phase::kBody:
      phase_ = Phase::kFinalBoundary;
      inputStream().close();
      break;
    case Phase::kFinalBoundary:
      phase_ = Phase::kEncapsulationBoundary;
      exhausted_ = true;
      break;
  }
}

std::ptrdiff_t HCHTTPBodyPart::fail(ns::Error error) {
  streamError_ = std::move(error);
  exhausted_ = true;
  if (inputStream_) {
    inputStream_->close();
  }
  return -1;
}

}  // namespace http_client
