#pragma once

// HCHTTPRequestSerializer: builds the URL requests of the HTTP client. It stamps its default headers
// ("Accept-Language" and "User-Agent" from the start, and whatever the caller adds) onto each request,
// copies the request properties the caller has set on it, and encodes parameters as a form body
// ("application/x-www-form-urlencoded") or, for GET, HEAD and DELETE, as the URL's query.
//
// Each request built takes the serializer's state of that moment. A request property that was never set on
// the serializer is left at the request's own default.
//
// Thread-safety: not locked; configure and use a serializer from one thread at a time. Construction reads
// the device and screen, so it happens on the main thread.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "http_client/HCMultipartFormData.h"
#include "http_client/HCURLRequestSerialization.h"
#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/foundation/text/StringEncoding.h"

namespace http_client {

enum class HCHTTPRequestQueryStringSerializationStyle : unsigned {
  kDefaultStyle = 0,  // the form encoding of HCQueryStringSerialization.h
};

class HCHTTPRequestSerializer : public HCURLRequestSerialization {
 public:
  // Replaces the built-in query encoding: returns the query text for `parameters`, or the error that makes
  // the request builders fail.
  using QueryStringSerializationBlock =
      std::function<ns::Result<std::string>(const ns::URLRequest& request, const ns::Dictionary& parameters)>;
  // Adds files and parts to a multipart body being built.
  using ConstructingBodyBlock = std::function<void(HCMultipartFormData& formData)>;
  // Gets std::nullopt once the body was written whole, else the error that stopped it.
  using WritingCompletionHandler = std::function<void(const std::optional<ns::Error>& error)>;
  // Default header name, exactly as the caller spelled it, to value.
  using HeaderDictionary = std::map<std::string, std::string>;

  // Returns a new serializer with the defaults of the constructor.
  static std::shared_ptr<HCHTTPRequestSerializer> serializer();

  // UTF-8, "Accept-Language" from the preferred languages, "User-Agent" from the bundle, the device and the
  // screen, and parameters of GET, HEAD and DELETE in the URL.
  HCHTTPRequestSerializer();
  // The constructor's defaults, then the default headers and query style kept by encodeWithCoder();
  // entries of the wrong type are ignored.
  explicit HCHTTPRequestSerializer(const ns::Dictionary& coder);
  ~HCHTTPRequestSerializer() override = default;

  // Writes the default headers under "mutableHTTPRequestHeaders" and the query style under
  // "queryStringSerializationStyle".
  virtual void encodeWithCoder(ns::Dictionary& coder) const;
  // Returns a new serializer of this class with this one's default headers, query style and query block;
  // request properties are not carried over.
  virtual std::shared_ptr<HCHTTPRequestSerializer> copy() const;

  // The encoding of the escaped query and of the form body.
  const ns::StringEncoding& stringEncoding() const { return stringEncoding_; }
  void setStringEncoding(ns::StringEncoding encoding) { stringEncoding_ = std::move(encoding); }

  // Request properties: each reaches the requests built only once it has been set here.
  bool allowsCellularAccess() const { return allowsCellularAccess_.value_or(false); }
  void setAllowsCellularAccess(bool allows) { allowsCellularAccess_ = allows; }
  ns::URLRequestCachePolicy cachePolicy() const {
    return cachePolicy_.value_or(ns::URLRequestCachePolicy::kUseProtocolCachePolicy);
  }
  void setCachePolicy(ns::URLRequestCachePolicy policy) { cachePolicy_ = policy; }
  bool HTTPShouldHandleCookies() const { return HTTPShouldHandleCookies_.value_or(false); }
  void setHTTPShouldHandleCookies(bool handles) { HTTPShouldHandleCookies_ = handles; }
  bool HTTPShouldUsePipelining() const { return HTTPShouldUsePipelining_.value_or(false); }
  void setHTTPShouldUsePipelining(bool uses) { HTTPShouldUsePipelining_ = uses; }
  ns::URLRequestNetworkServiceType networkServiceType() const {
    return networkServiceType_.value_or(ns::URLRequestNetworkServiceType::kDefault);
  }
  void setNetworkServiceType(ns::URLRequestNetworkServiceType type) { networkServiceType_ = type; }
  // Seconds; see ns::URLRequest::timeoutInterval().
  double timeoutInterval() const { return timeoutInterval_.value_or(0); }
  void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }

  // Upper-case methods whose parameters go into the URL query.
  const std::set<std::string>& HTTPMethodsEncodingParametersInURI() const { return methodsEncodingInURI_; }
  void setHTTPMethodsEncodingParametersInURI(std::set<std::string> methods) {
    methodsEncodingInURI_ = std::move(methods);
  }

  // Returns a copy of the default headers.
  HeaderDictionary HTTPRequestHeaders() const { return headers_; }
  // Sets the default header `field`, spelled as given; std::nullopt removes it.
  void setValue(std::optional<std::string> value, const std::string& field);
  // Returns the default header `field` (spelled as it was set), or std::nullopt.
  std::optional<std::string> valueForHTTPHeaderField(const std::string& field) const;
  // Sets "Authorization" to "Basic " and the Base64 of "username:password".
  void setAuthorizationHeaderFieldWithUsername(std::string_view username, std::string_view password);
  // Sets "Authorization" to "Token token=\"token\"".
  void setAuthorizationHeaderFieldWithToken(std::string_view token);
  void clearAuthorizationHeader();

  HCHTTPRequestQueryStringSerializationStyle queryStringSerializationStyle() const { return queryStyle_; }
  // Sets the style and drops a custom block.
  void setQueryStringSerializationWithStyle(HCHTTPRequestQueryStringSerializationStyle style);
  void setQueryStringSerializationWithBlock(QueryStringSerializationBlock block);

  // Returns a request for `method` and the URL that `URLString` spells on its own (a text that is not a URL
  // gives a request without one, which fails when loaded), with the request properties set here, the
  // default headers and `parameters`. Returns the error of a custom query block that failed.
  ns::Result<ns::URLRequest> requestWithMethod(std::string_view method, std::string_view URLString,
                                               const std::optional<ns::Dictionary>& parameters) const;

  // Returns a request for `method` and `URLString` (as requestWithMethod(), without parameters) whose body
  // is a streamed "multipart/form-data" body, boundaries and headers in UTF-8: first the flattened
  // `parameters` as form fields (data as it is, null as nothing, anything else as its text in
  // stringEncoding()), then whatever `block`, when given, appends. Without any part the request has no
  // body. Returns the error of a custom query block that failed.
  ns::Result<ns::URLRequest> multipartFormRequestWithMethod(std::string_view method,
                                                            std::string_view URLString,
                                                            const std::optional<ns::Dictionary>& parameters,
                                                            const ConstructingBodyBlock& block) const;

  // Returns a copy of `request` without its body stream at once, and writes that stream into the file at
  // `fileURL` (replaced when it exists) on a global queue. `completionHandler`, when given, runs on the main
  // queue with std::nullopt once every byte is in the file, else with the first error: the body's, or the
  // file's (one that cannot be opened or written, or a short write). A request without a body stream, or
  // a URL that is no file URL, gives an error.
  ns::URLRequest requestWithMultipartFormRequest(const ns::URLRequest& request, const ns::URL& fileURL,
                                                 WritingCompletionHandler completionHandler) const;

  // HCURLRequestSerialization. Parameters of a method in HTTPMethodsEncodingParametersInURI() join the
  // URL's query (before its fragment); others become the body, with "Content-Type" set to
  // "application/x-www-form-urlencoded" unless the request has one.
  ns::Result<ns::URLRequest> requestBySerializingRequest(
      const ns::URLRequest& request, const std::optional<ns::Dictionary>& parameters) const override;

 protected:
  // Writes parameters as a body of the subclass's own kind: returns the body, or the writer's error.
  using BodyWriter = std::function<ns::Result<ns::Data>(const ns::Dictionary& parameters)>;
  // For subclasses that send parameters as a body of their own: a request whose method is in
  // HTTPMethodsEncodingParametersInURI() is serialized as here (parameters in the query); any other gets
  // the default headers it lacks and, with parameters, the body `writeBody` makes, with "Content-Type"
  // `contentType` unless the request has one. Returns the writer's error instead of a request with an
  // empty body.
  ns::Result<ns::URLRequest> requestWithWrittenBody(const ns::URLRequest& request,
                                                    const std::optional<ns::Dictionary>& parameters,
                                                    std::string_view contentType,
                                                    const BodyWriter& writeBody) const;
  // Copies the state that copy() carries over into `target`.
  void copyDefaultsInto(HCHTTPRequestSerializer& target) const;
  // Returns the request with the default headers that it lacks.
  ns::URLRequest requestWithDefaultHeaders(const ns::URLRequest& request) const;

 private:
  ns::Result<std::string> queryString(const ns::URLRequest& request, const ns::Dictionary& parameters) const;

  ns::StringEncoding stringEncoding_ = ns::StringEncoding::utf8();
  std::optional<bool> allowsCellularAccess_;
  std::optional<ns::URLRequestCachePolicy> cachePolicy_;
  std::optional<bool> HTTPShouldHandleCookies_;
  std::optional<bool> HTTPShouldUsePipelining_;
  std::optional<ns::URLRequestNetworkServiceType> networkServiceType_;
  std::optional<double> timeoutInterval_;
  std::set<std::string> methodsEncodingInURI_{"GET", "HEAD", "DELETE"};
  HeaderDictionary headers_;
  HCHTTPRequestQueryStringSerializationStyle queryStyle_ =
      HCHTTPRequestQueryStringSerializationStyle::kDefaultStyle;
  QueryStringSerializationBlock queryStringSerialization_;
  ns::OneThreadAtATimeChecker useChecker_;
};

}  // namespace http_client
