#pragma once

// av::PlayerLayer: the picture of a player: it shows the last picture its player decoded, and nothing
// without a player.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>

#include "platform/avfoundation/DecodedPicture.h"
#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/RGBAPicture.h"

namespace av {

class PlayerLayer {
 public:
  const std::shared_ptr<Player>& player() const { return player_; }
  void setPlayer(std::shared_ptr<Player> player) { player_ = std::move(player); }

  // The picture on show, or nullopt before the player's first one.
  std::optional<DecodedPicture> picture() const { return player_ ? player_->currentPicture() : std::nullopt; }
  // The picture on show as RGBA pixels, converted when asked; nullopt before the player's first picture.
  std::optional<RGBAPicture> rgbaPicture() const {
    std::optional<DecodedPicture> shown = picture();
    if (!shown) {
      return std::nullopt;
    }
    return RGBAPicture{shown->width, shown->height, std::move(shown->rgba)};
  }
  bool isReadyForDisplay() const { return player_ && player_->currentPicture().has_value(); }

 private:
  std::shared_ptr<Player> player_;
};

}  // namespace av
