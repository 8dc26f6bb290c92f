#include "platform/net/URLResponse.h"

#include "platform/net/DescriptionFormat.h"

namespace ns {

URLResponse::URLResponse(URL url, std::optional<std::string> MIMEType, std::int64_t expectedContentLength,
                         std::optional<std::string> textEncodingName, std::optional<std::string> peerAddress)
    : url_(std::move(url)),
      MIMEType_(std::move(MIMEType)),
      expectedContentLength_(expectedContentLength),
      textEncodingName_(std::move(textEncodingName)),
      peerAddress_(std::move(peerAddress)) {}

std::string URLResponse::description() const {
  return descriptionPrefix("URLResponse", this) + " { URL: " + url_.absoluteString() + " }";
}

}  // namespace ns
