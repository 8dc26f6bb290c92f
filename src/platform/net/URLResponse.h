#pragma once

// ns::URLResponse: what a server said about the body it sends: the URL answered, the MIME type, the text
// encoding name and the expected length, and the address of the server the connection reached. Responses are
// shared as std::shared_ptr<const URLResponse>; an HTTP exchange gives an HTTPURLResponse (test with
// std::dynamic_pointer_cast). Immutable: thread-safe.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/net/URL.h"

namespace ns {

class URLResponse {
 public:
  // The length reported when the server announced none.
  static constexpr std::int64_t kUnknownLength = -1;

  URLResponse(URL url, std::optional<std::string> MIMEType, std::int64_t expectedContentLength,
              std::optional<std::string> textEncodingName,
              std::optional<std::string> peerAddress = std::nullopt);
  virtual ~URLResponse() = default;

  const URL& url() const { return url_; }
  // The media type in lower case without parameters ("text/html"), or nullopt when none was given.
  const std::optional<std::string>& MIMEType() const { return MIMEType_; }
  // The body length the server announced, or kUnknownLength.
  std::int64_t expectedContentLength() const { return expectedContentLength_; }
  // The character-set name the server gave ("utf-8", "GBK"), unquoted, as written; nullopt when none.
  const std::optional<std::string>& textEncodingName() const { return textEncodingName_; }
  // The numeric address of the server whose connection carried the response ("127.0.0.1", "::1"), as the
  // transfer engine connected to it; nullopt for a response that came over no connection (one read back
  // from storage, one made by hand).
  const std::optional<std::string>& peerAddress() const { return peerAddress_; }

  // "<URLResponse: 0x...> { URL: ... }"; the HTTP response adds its status code.
  virtual std::string description() const;

 private:
  // Constant after construction
  URL url_;
  std::optional<std::string> MIMEType_;
  std::int64_t expectedContentLength_;
  std::optional<std::string> textEncodingName_;
  std::optional<std::string> peerAddress_;
};

}  // namespace ns
