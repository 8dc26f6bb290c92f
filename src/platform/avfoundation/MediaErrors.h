#pragma once

// The errors of the media engine: the domains and codes the platform's media framework reports, and the
// mapping of loading failures onto them. Thread-safe: pure functions.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"
#include "platform/net/URL.h"

namespace av {

// The outer error of a failed load or item; the cause is its underlying error.
inline constexpr std::string_view kAVFoundationErrorDomain = "AVFoundationErrorDomain";
inline constexpr std::int64_t kAVErrorUnknown = -11800;
// The stream could not be read as media: a wrong key, a damaged segment, something other than MPEG-TS.
inline constexpr std::int64_t kAVErrorFileFormatNotRecognized = -11828;

// HTTP failures of the playlist, key or segment loads.
inline constexpr std::string_view kCoreMediaErrorDomain = "CoreMediaErrorDomain";
inline constexpr std::int64_t kMediaResourceNotFound = -12938;
inline constexpr std::int64_t kMediaResourceHTTPError = -12939;
// A playlist that is not one ("#EXTM3U" missing).
inline constexpr std::int64_t kMediaPlaylistParseError = -12642;

// Transport failures keep their URL-loading code under this domain.
inline constexpr std::string_view kCFErrorDomainCFNetwork = "kCFErrorDomainCFNetwork";

// Failures found by our own demuxing and decoding, with FFmpeg's error code and text.
inline constexpr std::string_view kMediaErrorDomain = "com.quillmark.media";
// A playlist, key or segment larger than its load allows; positive, so apart from FFmpeg's negative codes.
inline constexpr std::int64_t kMediaResourceTooLarge = 1;
// No sound device: the sound server cannot be reached, or refused the stream.
inline constexpr std::int64_t kMediaSoundDeviceUnavailable = 2;

// Returns the CoreMedia error for an HTTP `statusCode` of `url`: kMediaResourceNotFound for 404, else
// kMediaResourceHTTPError; the URL's absolute string is under "URI", the status under "statusCode" and the
// answering server's `peerAddress`, when known, under ns::kURLErrorPeerAddressKey.
ns::Error httpStatusError(int statusCode, const ns::URL& url,
                          const std::optional<std::string>& peerAddress = std::nullopt);
// Returns the kMediaErrorDomain error kMediaResourceTooLarge for `url`, whose body passed `maximumSize`
// bytes; the URL's absolute string is under "URI" and the server's `peerAddress`, when known, under
// ns::kURLErrorPeerAddressKey.
ns::Error resourceTooLargeError(const ns::URL& url, std::size_t maximumSize,
                                const std::optional<std::string>& peerAddress = std::nullopt);
// Returns `urlError` (a URL-loading failure) in kCFErrorDomainCFNetwork, with the same code and user info
// (the server's address under ns::kURLErrorPeerAddressKey included, when a connection was made).
ns::Error transportError(const ns::Error& urlError);
// Returns the error of a failed load: kAVFoundationErrorDomain, `code`, with `cause` as its underlying error.
ns::Error mediaFailure(std::int64_t code, ns::Error cause);
// Returns a kMediaErrorDomain error for FFmpeg's `averror`, described by `what` and FFmpeg's own text.
ns::Error libavError(int averror, std::string_view what);

}  // namespace av
