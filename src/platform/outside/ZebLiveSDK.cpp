#include "platform/outside/ZebLiveSDK.h"

#include "platform/foundation/check/Check.h"

namespace outside {

std::shared_ptr<ZebLiveClassController> ZebLiveSDK::InitZebLivePlayer(
    const ZebLiveParameterBlock::Bytes& block, std::weak_ptr<ZebLiveSDKHost> host) {
  return makeClass("InitZebLivePlayer", block, std::move(host), ZebLiveSDKHost::kTypeLive);
}

std::shared_ptr<ZebLiveClassController> ZebLiveSDK::InitZebPlayPlayer(
    const ZebLiveParameterBlock::Bytes& block, std::weak_ptr<ZebLiveSDKHost> host) {
  return makeClass("InitZebPlayPlayer", block, std::move(host), ZebLiveSDKHost::kTypeReplay);
}

void ZebLiveSDK::EnterLiveClass() {
  enter("EnterLiveClass");
}

void ZebLiveSDK::EnterPlayClass() {
  enter("EnterPlayClass");
}

std::shared_ptr<ZebLiveClassController> ZebLiveSDK::makeClass(const char* call,
                                                              const ZebLiveParameterBlock::Bytes& block,
                                                              std::weak_ptr<ZebLiveSDKHost> host,
                                                              ZebLiveSDKHost::Type type) {
  QM_DCHECK_MAIN_THREAD();
  calls_.emplace_back(call);
  parameterBlock_ = block;
  host_ = host;
  classController_ = std::make_shared<ZebLiveClassController>(
      ZebLiveParameterBlock::textOf(block, ZebLiveParameterBlock::kProviderId), type, std::move(host));
  return classController_;
}

void ZebLiveSDK::enter(const char* call) {
  QM_DCHECK_MAIN_THREAD();
  calls_.emplace_back(call);
  if (classController_) {
    classController_->enter();
  }
}

}  // namespace outside
