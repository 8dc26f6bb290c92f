#include "platform/avfoundation/PlayerLayer.h"

#include <utility>

#include "platform/foundation/check/Check.h"

namespace av {

const std::shared_ptr<Player>& PlayerLayer::player() const {
  QM_DCHECK_MAIN_THREAD();
  return player_;
}

void PlayerLayer::setPlayer(std::shared_ptr<Player> player) {
  QM_DCHECK_MAIN_THREAD();
  player_ = std::move(player);
}

std::optional<DecodedPicture> PlayerLayer::picture() const {
  QM_DCHECK_MAIN_THREAD();
  if (!player_ || !player_->currentPicture()) {
    return std::nullopt;
  }
  const VideoFrame& shown = *player_->currentPicture();
  ns::Result<RGBAPicture> converted = shown.toRGBA();
  if (!converted.ok()) {
    return std::nullopt;
  }
  return DecodedPicture{std::move(*converted), shown.seconds};
}

std::optional<RGBAPicture> PlayerLayer::rgbaPicture() const {
  QM_DCHECK_MAIN_THREAD();
  std::optional<DecodedPicture> shown = picture();
  if (!shown) {
    return std::nullopt;
  }
  return std::move(static_cast<RGBAPicture&>(*shown));
}

bool PlayerLayer::isReadyForDisplay() const {
  QM_DCHECK_MAIN_THREAD();
  return player_ && player_->currentPicture().has_value();
}

}  // namespace av
