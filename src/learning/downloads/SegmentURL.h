#pragma once

// How a segment line of a playlist becomes a URL to fetch and a file name in the lesson folder. The
// download manager stores every segment under segmentFileName() of its URL and the playlist rewriter points
// the offline playlist at that same name, so an offline playlist only ever names files that were stored.
// Thread-safe: pure functions.

#include <optional>
#include <string>
#include <string_view>

namespace learning {

// Returns `line` without its surrounding blanks, with every byte that a URL may not hold as it stands
// (controls, space, non-ASCII bytes, '"', '<', '>', '\', '^', '`', '{', '|', '}', and a '%' that does not
// start an escape) written as '%' and two hexadecimal digits. Escapes already present are kept, so escaping
// an escaped URL changes nothing.
std::string percentEscapedSegmentURL(std::string_view line);

// Returns the file name under which the segment at `segmentURL` is stored: the last component of the URL's
// path, without query or fragment, percent-decoded. Returns std::nullopt when `segmentURL` does not parse as
// a URL or when that name could not safely name a file in the lesson folder: empty, "." or "..", or holding
// "/" or a NUL byte once decoded.
std::optional<std::string> segmentFileName(std::string_view segmentURL);

// Returns the escaped URL of a segment line that the download manager fetches: an absolute "http://" URL
// with a segmentFileName(). Returns std::nullopt for any other line (relative or "https://" URLs included).
std::optional<std::string> downloadableSegmentURL(std::string_view line);

}  // namespace learning
