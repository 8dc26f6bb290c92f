#pragma once

// av::PlayerLayer: the picture of a player: it shows the last picture its player decoded, and nothing
// without a player.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>

#include "platform/avfoundation/DecodedPicture.h"
#include "platform/avfoundation/Player.h"

namespace av {

class PlayerLayer {
 public:
  const std::shared_ptr<Player>& player() const { return player_; }
  void setPlayer(std::shared_ptr<Player> player) { player_ = std::move(player); }

  // The picture on show, or nullopt before the player's first one.
  std::optional<DecodedPicture> picture() const { return player_ ? player_->currentPicture() : std::nullopt; }
  bool isReadyForDisplay() const { return player_ && player_->currentPicture().has_value(); }

 private:
  std::shared_ptr<Player> player_;
};

}  // namespace av
