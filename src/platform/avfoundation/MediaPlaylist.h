#pragma once

// av::MediaPlaylist: what the engine reads from an HLS media playlist: the segments with their durations,
// whether the list is complete ("#EXT-X-ENDLIST"), and the AES-128 key that encrypts the segments. URIs are
// resolved against the playlist's own URL. Immutable once read: thread-safe.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URL.h"

namespace av {

class MediaPlaylist {
 public:
  struct Segment {
    ns::URL url;
    // Seconds, from the "#EXTINF:" tag before it; 0 when that is negative or not a finite number.
    double duration = 0;
    // The segment's media sequence number, the IV of a key that gives none.
    std::int64_t sequenceNumber = 0;
  };

  struct Key {
    // "AES-128"; "NONE" is read as no key at all, and any other method fails the playlist.
    std::string method;
    ns::URL url;
    // 16 bytes when the key line gives an IV.
    std::optional<ns::Data> iv;
  };

  // Returns the playlist read from `text`, fetched from `playlistURL`. Fails with CoreMedia's
  // kMediaPlaylistParseError when the text does not start with "#EXTM3U" or its key's method is neither
  // "NONE" nor "AES-128"; segment and key URIs that do not resolve are left out (a key without one counts
  // as none). Of a key attribute given twice, the first counts.
  static ns::Result<MediaPlaylist> read(std::string_view text, const ns::URL& playlistURL);

  const std::vector<Segment>& segments() const { return segments_; }
  bool hasEndList() const { return hasEndList_; }
  // The key of the segments, when they are encrypted. One key serves the whole list.
  const std::optional<Key>& key() const { return key_; }
  // The sum of the segments' durations, in seconds.
  double totalDuration() const;

  // Returns the 16-byte IV of `segment`: the key's own, or the segment's sequence number, big-endian.
  ns::Data ivForSegment(const Segment& segment) const;

 private:
  std::vector<Segment> segments_;
  bool hasEndList_ = false;
  std::optional<Key> key_;
};

}  // namespace av
