#pragma once

// HCHTTPResponseSerializer: checks an HTTP response against the status codes and content types it accepts
// and passes the body through unchanged. The base of the serializers that parse bodies.
//
// Thread-safety: configure it before use; once in use it is only read, and may check responses on several
// threads at once.

#include <memory>
#include <optional>
#include <set>
#include <string>

#include "http_client/HCURLResponseSerialization.h"
#include "platform/foundation/text/StringEncoding.h"

namespace http_client {

// The outcome of HCHTTPResponseSerializer::validateResponse(): a response may be refused without an error
// (an unacceptable content type with an empty body).
struct HCResponseValidation {
  bool valid = true;
  std::optional<ns::Error> error;

  // True when the response was refused with an unacceptable content type's error (-1016) in the error's
  // chain: the body is then not for the serializer to read.
  bool refusesContentType() const;
};

class HCHTTPResponseSerializer : public HCURLResponseSerialization {
 public:
  // Returns a new serializer with the defaults of the constructor.
  static std::shared_ptr<HCHTTPResponseSerializer> serializer();

  // UTF-8, status codes 200 to 299, any content type.
  HCHTTPResponseSerializer();
  // The constructor's defaults, then the acceptable status codes and content types kept by
  // encodeWithCoder() (absent ones become "any").
  explicit HCHTTPResponseSerializer(const ns::Dictionary& coder);
  ~HCHTTPResponseSerializer() override = default;

  // Writes "acceptableStatusCodes" (an array of integers) and "acceptableContentTypes" (an array of texts),
  // each only when set.
  virtual void encodeWithCoder(ns::Dictionary& coder) const;
  // Returns a new serializer of this class with this one's acceptable sets.
  virtual std::shared_ptr<HCHTTPResponseSerializer> copy() const;

  // The encoding of body text when the response names no character set the platform knows.
  const ns::StringEncoding& stringEncoding() const { return stringEncoding_; }
  void setStringEncoding(ns::StringEncoding encoding) { stringEncoding_ = std::move(encoding); }
  // std::nullopt accepts every status code.
  const std::optional<std::set<int>>& acceptableStatusCodes() const { return acceptableStatusCodes_; }
  void setAcceptableStatusCodes(std::optional<std::set<int>> codes) {
    acceptableStatusCodes_ = std::move(codes);
  }
  // Lower-case MIME types; std::nullopt accepts every content type.
  const std::optional<std::set<std::string>>& acceptableContentTypes() const {
    return acceptableContentTypes_;
  }
  void setAcceptableContentTypes(std::optional<std::set<std::string>> types) {
    acceptableContentTypes_ = std::move(types);
  }

  // Checks an HTTP response (anything else is valid): an unacceptable content type refuses it, with error
  // -1016 only when there is a body; an unacceptable status code refuses it with error -1011, the content
  // type's error beneath.
  HCResponseValidation validateResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                        const std::optional<ns::Data>& data) const;

  // Returns the body unchanged, valid or not, with the error of the check.
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 protected:
  // Copies the acceptable sets into `target`.
  void copyAcceptableSetsInto(HCHTTPResponseSerializer& target) const;

 private:
  ns::StringEncoding stringEncoding_ = ns::StringEncoding::utf8();
  std::optional<std::set<int>> acceptableStatusCodes_;
  std::optional<std::set<std::string>> acceptableContentTypes_;
};

}  // namespace http_client
