#pragma once

// outside::ZebLiveSDK: the live-class framework that the application loads from outside. The application
// hands it a lesson's entry parameters (ZebLiveParameterBlock.h) and its host (ZebLiveSDKHost.h), presents
// the screen it returns, and then enters the class; the framework tells the host when the person leaves.
//
// This stand-in keeps what it was given, so that tests can read it: the calls in order, a copy of the last
// parameter block (the caller's block need live only during the call), the host, and the screen it made
// (ZebLiveClassController.h), which shows the classroom named by the block's provider id.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"
#include "platform/outside/ZebLiveClassController.h"
#include "platform/outside/ZebLiveParameterBlock.h"
#include "platform/outside/ZebLiveSDKHost.h"

namespace outside {

class ZebLiveSDK : public ns::Object {
 public:
  ZebLiveSDK() = default;

  // Returns the screen of the live class that `block` names, for `host` (held weakly). The caller owns it
  // and presents it; EnterLiveClass() then starts the class in it.
  std::shared_ptr<ZebLiveClassController> InitZebLivePlayer(const ZebLiveParameterBlock::Bytes& block,
                                                            std::weak_ptr<ZebLiveSDKHost> host);
  // As InitZebLivePlayer(), for the replay of the class; EnterPlayClass() starts it.
  std::shared_ptr<ZebLiveClassController> InitZebPlayPlayer(const ZebLiveParameterBlock::Bytes& block,
                                                            std::weak_ptr<ZebLiveSDKHost> host);
  // Start the class or the replay in the screen made last; nothing before one was made.
  void EnterLiveClass();
  void EnterPlayClass();

  // What the framework was given: the names of the calls in order, the last block, the host (nullptr once it
  // has gone or before one was given), and the screen made last (nullptr before).
  const std::vector<std::string>& calls() const { return calls_; }
  const std::optional<ZebLiveParameterBlock::Bytes>& parameterBlock() const { return parameterBlock_; }
  std::shared_ptr<ZebLiveSDKHost> host() const { return host_.lock(); }
  const std::shared_ptr<ZebLiveClassController>& classController() const { return classController_; }

 private:
  std::shared_ptr<ZebLiveClassController> makeClass(const char* call,
                                                    const ZebLiveParameterBlock::Bytes& block,
                                                    std::weak_ptr<ZebLiveSDKHost> host,
                                                    ZebLiveSDKHost::Type type);
  void enter(const char* call);

  std::vector<std::string> calls_;
  std::optional<ZebLiveParameterBlock::Bytes> parameterBlock_;
  std::weak_ptr<ZebLiveSDKHost> host_;
  std::shared_ptr<ZebLiveClassController> classController_;
};

}  // namespace outside
