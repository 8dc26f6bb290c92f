#include "platform/avfoundation/MediaPlaylist.h"

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/PlaylistKeyAttribute.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/text/Trimming.h"
#include "platform/foundation/values/TextNumbers.h"

namespace av {

namespace {

constexpr std::string_view kSignature = "#EXTM3U";
constexpr std::string_view kEndListTag = "#EXT-X-ENDLIST";
constexpr std::string_view kMediaSequenceTag = "#EXT-X-MEDIA-SEQUENCE:";

int hexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Reads "0x" and 32 hexadecimal digits; anything else is no IV.
std::optional<ns::Data> ivFromHex(std::string_view text) {
  if (!(text.starts_with("0x") || text.starts_with("0X")) || text.size() != 2 + 2 * ns::kAesBlockSize) {
    return std::nullopt;
  }
  ns::Data iv;
  for (std::size_t at = 2; at < text.size(); at += 2) {
    const int high = hexDigit(text[at]);
    const int low = hexDigit(text[at + 1]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    iv.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return iv;
}

// Returns the key of `keyLine`, or nullopt for METHOD=NONE or a URI that does not resolve.
std::optional<MediaPlaylist::Key> keyFromLine(std::string_view keyLine, const ns::URL& playlistURL) {
  std::string method;
  std::optional<ns::URL> url;
  std::optional<ns::Data> iv;
  for (const PlaylistKeyAttribute& attribute : playlistKeyAttributes(keyLine)) {
    if (attribute.name == "METHOD") {
      method = std::string(attribute.value);
    } else if (attribute.name == "URI") {
      url = ns::URL::fromString(unquotedAttributeValue(attribute.value), playlistURL);
    } else if (attribute.name == "IV") {
      iv = ivFromHex(attribute.value);
    }
  }
  if (method == "NONE" || !url) {
    return std::nullopt;
  }
  return MediaPlaylist::Key{std::move(method), std::move(*url), std::move(iv)};
}

}  // namespace

ns::Result<MediaPlaylist> MediaPlaylist::read(std::string_view text, const ns::URL& playlistURL) {
  if (!text.starts_with(kSignature)) {
    return ns::Error(std::string(kCoreMediaErrorDomain), kMediaPlaylistParseError,
                     ns::Dictionary{{"URI", ns::Value(playlistURL.absoluteString())}});
  }
  MediaPlaylist playlist;
  std::int64_t nextSequenceNumber = 0;
  for (const PlaylistLine& line : splitPlaylistLines(text)) {
    switch (line.kind) {
      case PlaylistLine::Kind::kKey:
        playlist.key_ = keyFromLine(line.text, playlistURL);
        break;
      case PlaylistLine::Kind::kSegment:
        if (std::optional<ns::URL> url =
                ns::URL::fromString(ns::trimmingWhitespaceAndNewlines(line.text), playlistURL)) {
          playlist.segments_.push_back(
              {std::move(*url), ns::doubleValueOfText(line.duration), nextSequenceNumber});
        }
        ++nextSequenceNumber;
        break;
      case PlaylistLine::Kind::kOther:
        if (line.text.starts_with(kMediaSequenceTag)) {
          nextSequenceNumber = ns::integerValueOfText(line.text.substr(kMediaSequenceTag.size()));
        } else if (line.text.starts_with(kEndListTag)) {
          playlist.hasEndList_ = true;
        }
        break;
    }
  }
  return playlist;
}

double MediaPlaylist::totalDuration() const {
  double total = 0;
  for (const Segment& segment : segments_) {
    total += segment.duration;
  }
  return total;
}

ns::Data MediaPlaylist::ivForSegment(const Segment& segment) const {
  if (key_ && key_->iv) {
    return *key_->iv;
  }
  ns::Data iv(ns::kAesBlockSize, 0);
  auto number = static_cast<std::uint64_t>(segment.sequenceNumber);
  for (std::size_t at = iv.size(); at-- > iv.size() - 8;) {
    iv[at] = static_cast<std::uint8_t>(number & 0xff);
    number >>= 8;
  }
  return iv;
}

}  // namespace av
