#include "platform/avfoundation/MediaPlaylist.h"

#include <cmath>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/PlaylistKeyAttribute.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/text/Trimming.h"
#include "platform/foundation/values/TextNumbers.h"

namespace av {

namespace {

constexpr std::string_view kSignature = "#EXTM3U";
constexpr std::string_view kEndListTag = "#EXT-X-ENDLIST";
constexpr std::string_view kMediaSequenceTag = "#EXT-X-MEDIA-SEQUENCE:";

// Reads "0x" and 32 hexadecimal digits; anything else is no IV.
std::optional<ns::Data> ivFromHex(std::string_view text) {
  if (!(text.starts_with("0x") || text.starts_with("0X")) || text.size() != 2 + 2 * ns::kAesBlockSize) {
    return std::nullopt;
  }
  return ns::bytesFromHex(text.substr(2));
}

constexpr std::string_view kNoEncryption = "NONE";
constexpr std::string_view kAes128 = "AES-128";

ns::Error playlistError(const ns::URL& playlistURL, std::string description) {
  return ns::Error(
      std::string(kCoreMediaErrorDomain), kMediaPlaylistParseError,
      ns::Dictionary{{"URI", ns::Value(playlistURL.absoluteString())},
                     {std::string(ns::kLocalizedDescriptionKey), ns::Value(std::move(description))}});
}

// Returns the key of `keyLine`, nullopt for METHOD=NONE or a URI that does not resolve, or an error for a
// method other than NONE and AES-128, which no segment here could be decrypted by. An attribute given twice
// counts as it first stands.
ns::Result<std::optional<MediaPlaylist::Key>> keyFromLine(std::string_view keyLine,
                                                          const ns::URL& playlistURL) {
  std::optional<std::string_view> method;
  std::optional<std::string_view> uri;
  std::optional<std::string_view> ivText;
  for (const PlaylistKeyAttribute& attribute : playlistKeyAttributes(keyLine)) {
    if (attribute.name == "METHOD" && !method) {
      method = attribute.value;
    } else if (attribute.name == "URI" && !uri) {
      uri = attribute.value;
    } else if (attribute.name == "IV" && !ivText) {
      ivText = attribute.value;
    }
  }
  if (method == kNoEncryption) {
    return std::optional<MediaPlaylist::Key>();
  }
  if (method != kAes128) {
    return playlistError(playlistURL, "Unsupported key method \"" + std::string(method.value_or("")) + "\"");
  }
  std::optional<ns::URL> url;
  if (uri) {
    url = ns::URL::fromString(unquotedAttributeValue(*uri), playlistURL);
  }
  if (!url) {
    return std::optional<MediaPlaylist::Key>();
  }
  return std::optional<MediaPlaylist::Key>(
      MediaPlaylist::Key{std::string(kAes128), std::move(*url), ivText ? ivFromHex(*ivText) : std::nullopt});
}

// Returns the seconds of an "#EXTINF:" duration; one that is negative or not finite counts as none.
double segmentDuration(std::string_view text) {
  const double seconds = ns::doubleValueOfText(text);
  return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

}  // namespace

ns::Result<MediaPlaylist> MediaPlaylist::read(std::string_view text, const ns::URL& playlistURL) {
  if (!text.starts_with(kSignature)) {
    return playlistError(playlistURL, "The playlist does not start with " + std::string(kSignature));
  }
  MediaPlaylist playlist;
  std::int64_t nextSequenceNumber = 0;
  for (const PlaylistLine& line : splitPlaylistLines(text)) {
    switch (line.kind) {
      case PlaylistLine::Kind::kKey: {
        ns::Result<std::optional<Key>> key = keyFromLine(line.text, playlistURL);
        if (!key.ok()) {
          return key.error();
        }
        playlist.key_ = std::move(*key);
        break;
      }
      case PlaylistLine::Kind::kSegment:
        if (std::optional<ns::URL> url =
                ns::URL::fromString(ns::trimmingWhitespaceAndNewlines(line.text), playlistURL)) {
          playlist.segments_.push_back({std::move(*url), segmentDuration(line.duration), nextSequenceNumber});
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
