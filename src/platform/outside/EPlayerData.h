#pragma once

// outside::EPlayerData: the parameters of one lesson for the plug-in player framework
// (EPlayerPluginViewController.h): the classroom, the customer, live or replay, how the viewer signs in, the
// pass, and for a replay the recording. This stand-in also keeps the names of the setters called, in order.
//
// Thread-safety: main thread only.

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"

namespace outside {

class EPlayerData : public ns::Object {
 public:
  // Play models.
  static constexpr int kPlayModelLive = 0;
  static constexpr int kPlayModelReplay = 1;

  EPlayerData() = default;

  const std::string& liveClassroomId() const { return liveClassroomId_; }
  void setLiveClassroomId(std::string value);
  const std::string& customer() const { return customer_; }
  void setCustomer(std::string value);
  int playModel() const { return playModel_; }
  void setPlayModel(int value);
  int loginType() const { return loginType_; }
  void setLoginType(int value);
  const std::string& validateStr() const { return validateStr_; }
  void setValidateStr(std::string value);
  // The recording of a replay; std::nullopt lets the framework choose.
  const std::optional<std::string>& playbackid() const { return playbackid_; }
  void setPlaybackid(std::optional<std::string> value);

  // The names of the setters called so far ("setCustomer", ...), in order.
  const std::vector<std::string>& setterCalls() const { return setterCalls_; }

 private:
  std::string liveClassroomId_;
  std::string customer_;
  int playModel_ = kPlayModelLive;
  int loginType_ = 0;
  std::string validateStr_;
  std::optional<std::string> playbackid_;
  std::vector<std::string> setterCalls_;
};

}  // namespace outside
