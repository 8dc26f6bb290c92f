#pragma once

// av::PlayerLayer: the picture of a player: it shows the last picture its player took from the decoder, and
// nothing without a player. The picture stays in the decoder's format until someone asks for its pixels:
// picture() and rgbaPicture() convert it to RGBA at each call.
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
  const std::shared_ptr<Player>& player() const;
  void setPlayer(std::shared_ptr<Player> player);

  // The picture on show as RGBA pixels with its item time, converted when asked; nullopt before the
  // player's first picture, or when the picture cannot be converted.
  std::optional<DecodedPicture> picture() const;
  // The picture on show as RGBA pixels, converted when asked; nullopt before the player's first picture, or
  // when the picture cannot be converted.
  std::optional<RGBAPicture> rgbaPicture() const;
  bool isReadyForDisplay() const;

 private:
  std::shared_ptr<Player> player_;
};

}  // namespace av
