#include "platform/outside/EPlayerData.h"

namespace outside {

void EPlayerData::setLiveClassroomId(std::string value) {
  liveClassroomId_ = std::move(value);
  setterCalls_.emplace_back("setLiveClassroomId");
}

void EPlayerData::setCustomer(std::string value) {
  customer_ = std::move(value);
  setterCalls_.emplace_back("setCustomer");
}

void EPlayerData::setPlayModel(int value) {
  playModel_ = value;
  setterCalls_.emplace_back("setPlayModel");
}

void EPlayerData::setLoginType(int value) {
  loginType_ = value;
  setterCalls_.emplace_back("setLoginType");
}

void EPlayerData::setValidateStr(std::string value) {
  validateStr_ = std::move(value);
  setterCalls_.emplace_back("setValidateStr");
}

void EPlayerData::setPlaybackid(std::optional<std::string> value) {
  playbackid_ = std::move(value);
  setterCalls_.emplace_back("setPlaybackid");
}

}  // namespace outside
