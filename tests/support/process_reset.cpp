#include "support/process_reset.h"

#include <optional>

#include "analytics/UsageClick.h"
#include "app/helpers/ZBAlertView.h"
#include "app/network/DeviceUID.h"
#include "app/network/QMNetworkHelper.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "http_client/HCImageLoad.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/avfoundation/AudioSession.h"
#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/Pasteboard.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/foundation/text/PreferredLanguages.h"
#include "platform/net/NetworkReachability.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLCache.h"
#include "platform/net/URLCredentialStorage.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/SystemVolume.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace testsupport {

void resetForTesting() {
  learning::QMDownloadHelper::resetSharedInstanceForTesting();

  app::ZBAlertView::resetForTesting();
  app::setConsoleDestination(nullptr);
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  app::QMNetworkHelper::resetForTesting();
  app::QMAppServices::resetForTesting();
  app::QMUser::resetSharedInstanceForTesting();
  app::DeviceUID::resetCacheForTesting();

  http_client::HCImageLoad::resetForTesting();
  analytics::UsageClick::resetForTesting();

  uikit::Application::sharedApplication().resetForTesting();
  uikit::SystemVolume::sharedInstance().resetForTesting();
  uikit::AlertView::removeAllForTesting();
  uikit::Storyboard::removeAllForTesting();
  uikit::Nib::removeAllForTesting();

  av::AudioSession::sharedInstance().resetForTesting();
  av::SoundOutput::resetSystemVolumeForTesting();
  outside::SimulatedNetwork::resetForTesting();
  ns::NetworkReachability::setFlagsForTesting(std::nullopt);
  ns::ServerTrust::setAdditionalAnchorsForTesting({});
  ns::URLCredentialStorage::sharedCredentialStorage().resetForTesting();
  ns::URLCache::sharedURLCache().removeAllCachedResponses();

  ns::UserDefaults::resetStandardUserDefaultsForTesting();
  ns::Pasteboard::resetForTesting();
  ns::setPreferredLanguagesForTesting(std::nullopt);
  ns::Bundle::setMainBundleResourcePathForTesting(std::nullopt);
}

}  // namespace testsupport
