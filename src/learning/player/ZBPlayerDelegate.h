#pragma once

// learning::ZBPlayerDelegate: what the video player tells its owner. The player holds its delegate strongly
// (the owner sets it to nullptr when it leaves, which breaks the cycle) and asks answers() before every
// call. The first three callbacks are required: a delegate answers them unless its answers() says
// otherwise. The two lesson buttons are optional: a delegate that overrides one says so in answers().
//
// Called on the main thread. A callback may let go of the player, break its media or play another URL.

#include <optional>

#include "platform/foundation/values/Error.h"
#include "platform/net/URL.h"

namespace learning {

class ZBPlayer;

class ZBPlayerDelegate {
 public:
  enum class Callback { kDidStop, kOnClickedPlayAtEnded, kOnClickedNavBack, kOnClickedLast, kOnClickedNext };

  virtual ~ZBPlayerDelegate() = default;

  // Whether the delegate answers `callback`; the player sends only those it answers. The default answers
  // the required callbacks.
  virtual bool answers(Callback callback) const {
    return callback == Callback::kDidStop || callback == Callback::kOnClickedPlayAtEnded ||
           callback == Callback::kOnClickedNavBack;
  }

  // Play reached the end (no error), or the media failed (the error).
  virtual void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error) = 0;
  // Every tap of the play/pause button. `atEnded`: play had reached the end, so the tap did not resume it.
  virtual void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded) = 0;
  // The back button, outside a full screen that can be left. The player has already ended its media
  // (willRemove()). `url` is the media's URL, nullopt before the first.
  virtual void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url) = 0;
  // The previous- and next-lesson buttons, with the media's URL.
  virtual void playerOnClickedLast(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {}
  virtual void playerOnClickedNext(ZBPlayer& /*player*/, const std::optional<ns::URL>& /*url*/) {}
};

}  // namespace learning
