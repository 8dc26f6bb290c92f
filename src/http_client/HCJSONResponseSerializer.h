#pragma once

// HCJSONResponseSerializer: checks a response as HCHTTPResponseSerializer does and parses its body as JSON.
// It accepts the content types "application/json", "text/json", "text/javascript", "text/html" and
// "text/plain" and the status codes 200 to 299. The body is read in the character set the response names
// (else the serializer's stringEncoding()).
//
// A refused status code with a JSON body gives both the object and the error. An empty body, or one of a
// single space, has nothing to parse: it gives no object and no error of its own (a HEAD reply, a 204).
// Any other body must be JSON: one that is not text in its character set, or that the reader refuses,
// is an error.
//
// Thread-safety: as HCHTTPResponseSerializer.

#include <memory>

#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

class HCJSONResponseSerializer : public HCHTTPResponseSerializer {
 public:
  // Returns a new serializer with the defaults of the constructor.
  static std::shared_ptr<HCJSONResponseSerializer> serializer();
  // Returns a new serializer with the defaults of the constructor and `readingOptions`.
  static std::shared_ptr<HCJSONResponseSerializer> serializerWithReadingOptions(unsigned readingOptions);

  // The base defaults, the five JSON content types, reading options 0 and null values kept.
  HCJSONResponseSerializer();
  // As the base class, then "readingOptions" and "removesKeysWithNullValues".
  explicit HCJSONResponseSerializer(const ns::Dictionary& coder);

  // Writes the base class's keys, "readingOptions" (a number) and "removesKeysWithNullValues" (a boolean).
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // Returns a serializer with the constructor's defaults and this one's reading options and null-removal
  // switch; acceptable sets changed here are not carried over.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  // The platform JSON reader's options (platform/foundation/formats/JSONSerialization.h): with
  // ns::kJSONReadingFragmentsAllowed a body that is a lone number, string, boolean or null parses to it;
  // without, such a body is an error.
  unsigned readingOptions() const { return readingOptions_; }
  void setReadingOptions(unsigned options) { readingOptions_ = options; }

  // When set, dictionary entries whose value is null are left out of the parsed object, at every depth
  // (nulls inside arrays stay).
  bool removesKeysWithNullValues() const { return removesKeysWithNullValues_; }
  void setRemovesKeysWithNullValues(bool removes) { removesKeysWithNullValues_ = removes; }

  // Returns the parsed value with the error of the checks chained to the parse error. Returns no object and
  // error -1016 for an unacceptable content type with a body, and for a body that is not text in its
  // character set (unless the status code was already refused, whose error then stands alone). An empty or
  // single-space body gives no object and only the error of the checks, if any.
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 private:
  unsigned readingOptions_ = 0;
  bool removesKeysWithNullValues_ = false;
};

}  // namespace http_client
