#pragma once

// ZBM3U8: the parser and the offline rewriter of the index playlists of lesson videos. It knows the tags of
// a lesson's media playlist (media sequence, allow-cache, version, one key line, target duration, segment
// durations and URLs); it is no general playlist parser.
//
// Lines end at "\n" or "\r\n". Segment URLs are listed, and rewritten, exactly when they are absolute
// "http://" URLs with a usable file name (SegmentURL.h), the same lines the download manager fetches.
// Thread-safety: stateless; both operations may run on any thread, but not on one file at a time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "learning/downloads/ZBM3U8Set.h"
#include "platform/foundation/values/Result.h"

namespace learning {

// The errors of replaceM3U8File() that are not file errors of the POSIX domain.
inline constexpr std::string_view kZBM3U8ErrorDomain = "com.quillmark.playlist";
inline constexpr std::int64_t kZBM3U8MissingBaseURLError = 1;
inline constexpr std::int64_t kZBM3U8NotUTF8TextError = 2;

class ZBM3U8 {
 public:
  // Returns what `text` holds, or std::nullopt when it does not begin (after white space) with "#EXTM3U".
  // Malformed or missing tags leave their fields empty; a playlist without a listed segment gives empty
  // lists.
  static std::optional<ZBM3U8Set> decodeM3U8IndexContext(std::string_view text);

  // Rewrites the playlist file at `path` in place for the local lesson server at `localServerBaseURL`
  // ("http://127.0.0.1:<port>/"): the URI of each key line becomes that base followed by "K.bin", and every
  // listed segment line becomes the percent-escaped file name under which the segment was stored; all other
  // lines stay as they are, CRLF line ends becoming LF. The file is replaced atomically. Rewriting again,
  // for another base, moves the key URI to the new base and leaves the bare names as they are.
  // Returns OK when the new text was written. Fails, leaving the file untouched, when the base is empty,
  // the file cannot be read or is not UTF-8 text, or the write fails.
  static ns::Status replaceM3U8File(const std::string& path, std::string_view localServerBaseURL);
};

}  // namespace learning
