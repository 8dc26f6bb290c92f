// Builds multipart bodies from parts the input describes (form fields, file data, streams with a declared
// length that may be wrong, parts with headers of the caller's own; names and types of any bytes) and reads
// them in pieces of a size the input chooses. Checks the writer's promises: a body whose parts hold their
// declared lengths delivers exactly its Content-Length, framed by the initial and final boundaries, the
// same bytes whatever the size of the reads; names never break a header line; a part that does not hold
// its declared length fails the body.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "http_client/HCStreamingMultipartFormData.h"

namespace {

enum class Kind { kFormField, kFileData, kStream, kOwnHeaders };

struct PartDescription {
  Kind kind;
  std::string name;
  std::string fileName;
  std::string mimeType;
  std::string body;
  // For streams: the length the part declares, which may differ from the body's.
  std::uint64_t declaredLength;
};

std::vector<PartDescription> partsFromInput(FuzzedDataProvider& input) {
  std::vector<PartDescription> parts(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (PartDescription& part : parts) {
    part.kind = static_cast<Kind>(input.ConsumeIntegralInRange<int>(0, 3));
    part.name = input.ConsumeRandomLengthString(40);
    part.fileName = input.ConsumeRandomLengthString(40);
    part.mimeType = input.ConsumeRandomLengthString(20);
    part.body = input.ConsumeRandomLengthString(2000);
    part.declaredLength =
        input.ConsumeBool() ? part.body.size() : input.ConsumeIntegralInRange<std::uint64_t>(0, 2100);
  }
  return parts;
}

http_client::HCStreamingMultipartFormData formDataFor(const std::vector<PartDescription>& parts) {
  http_client::HCStreamingMultipartFormData formData(
      ns::URLRequest(ns::URL::fromString("http://127.0.0.1/up")), ns::StringEncoding::utf8());
  for (const PartDescription& part : parts) {
    switch (part.kind) {
      case Kind::kFormField:
        formData.appendPartWithFormData(ns::dataFromString(part.body), part.name);
        break;
      case Kind::kFileData:
        formData.appendPartWithFileData(ns::dataFromString(part.body), part.name, part.fileName,
                                        part.mimeType);
        break;
      case Kind::kStream:
        formData.appendPartWithInputStream(ns::InputStream::withData(ns::dataFromString(part.body)),
                                           part.name, part.fileName, part.declaredLength, part.mimeType);
        break;
      case Kind::kOwnHeaders:
        formData.appendPartWithHeaders(ns::HTTPHeaderFields{{"X-Part", "own"}},
                                       ns::dataFromString(part.body));
        break;
    }
  }
  return formData;
}

struct Read {
  std::string bytes;
  bool failed = false;
};

Read readAll(ns::InputStream& stream, std::size_t chunk) {
  Read read;
  stream.open();
  std::vector<std::uint8_t> buffer(chunk);
  for (;;) {
    const std::ptrdiff_t count = stream.read(buffer.data(), buffer.size());
    if (count < 0) {
      read.failed = true;
      return read;
    }
    if (count == 0) {
      return read;
    }
    read.bytes.append(buffer.begin(), buffer.begin() + count);
  }
}

std::size_t lineBreaks(const std::string& text) {
  std::size_t count = 0;
  for (const char character : text) {
    count += character == '\r' || character == '\n' ? 1 : 0;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(1, 5000);
  const std::vector<PartDescription> parts = partsFromInput(input);
  bool lengthsHold = true;
  for (const PartDescription& part : parts) {
    lengthsHold = lengthsHold && (part.kind != Kind::kStream || part.declaredLength == part.body.size());
  }

  http_client::HCStreamingMultipartFormData formData = formDataFor(parts);
  const ns::URLRequest request = formData.requestByFinalizingMultipartFormData();
  if (parts.empty()) {
    requireProperty(request.HTTPBodyStream() == nullptr, "a body without parts is no body");
    return 0;
  }
  const auto& bodyParts = formData.bodyStream()->HTTPBodyParts();
  for (std::size_t index = 0; index < parts.size(); ++index) {
    if (parts[index].kind != Kind::kOwnHeaders) {
      // Each header line and the empty line after them end in CR LF; a name adds no line break of its own.
      requireProperty(lineBreaks(bodyParts[index]->stringForHeaders()) ==
                          2 * (bodyParts[index]->headers().size() + 1) +
                              (parts[index].kind == Kind::kFormField ? 0 : lineBreaks(parts[index].mimeType)),
                      "a name never breaks a header line");
    }
  }

  const Read pieces = readAll(*request.HTTPBodyStream(), chunk);
  requireProperty(pieces.failed == !lengthsHold,
                  "the body fails exactly when a part misses its declared length");
  if (!lengthsHold) {
    return 0;
  }
  requireProperty(std::to_string(pieces.bytes.size()) == request.valueForHTTPHeaderField("Content-Length"),
                  "the body delivers exactly its Content-Length");
  const std::string& boundary = formData.boundary();
  requireProperty(pieces.bytes.starts_with("--" + boundary + "\r\n"),
                  "the body starts with the initial boundary");
  requireProperty(pieces.bytes.ends_with("\r\n--" + boundary + "--\r\n"),
                  "the body ends with the final boundary");

  http_client::HCStreamingMultipartFormData again = formDataFor(parts);
  const ns::URLRequest whole = again.requestByFinalizingMultipartFormData();
  std::string wholeBytes = readAll(*whole.HTTPBodyStream(), 1 << 16).bytes;
  for (std::size_t at = wholeBytes.find(again.boundary()); at != std::string::npos;
       at = wholeBytes.find(again.boundary(), at + boundary.size())) {
    wholeBytes.replace(at, boundary.size(), boundary);
  }
  requireProperty(wholeBytes == pieces.bytes, "reads of any size deliver the same bytes");
  return 0;
}
