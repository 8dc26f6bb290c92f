#pragma once

// The lines of an index playlist, each classified once, so that the parser and the rewriter agree on which
// line is the key line and which lines name segments. A line ends at "\n"; the "\r" of a CRLF line end
// (and any more "\r" before it) is not part of its text. Thread-safe: pure function.

#include <string_view>
#include <vector>

namespace av {

struct PlaylistLine {
  enum class Kind {
    kKey,      // "#EXT-X-KEY:" with its attribute list
    kSegment,  // the first line that is neither blank nor a tag after an "#EXTINF:" tag
    kOther,    // every other line, the header tags and "#EXTINF:" itself included
  };

  Kind kind = Kind::kOther;
  // The line without its line end, a view into the text that was split.
  std::string_view text;
  // For a segment line: the text after "#EXTINF:" on the tag line that announced it.
  std::string_view duration;
};

// Returns every line of `text` in order. A text that ends with a line end gives a last empty line, so that
// joining the texts with "\n" gives back `text` with its line ends made LF.
std::vector<PlaylistLine> splitPlaylistLines(std::string_view text);

}  // namespace av
