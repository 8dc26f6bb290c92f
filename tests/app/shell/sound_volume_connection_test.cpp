#include <gtest/gtest.h>

#include "main/assembly/ApplicationAssembly.h"
#include "platform/avfoundation/sound/SoundOutput.h"
#include "platform/uikit/app/SystemVolume.h"
#include "support/process_reset.h"

namespace app {

namespace {

// The composition root hands the system volume to the media engine's sound output: the volume of the moment,
// then every change the volume buttons or the slider make.
TEST(SoundVolumeConnectionTest, TheSoundOutputPlaysAtTheSystemVolume) {
  testsupport::resetForTesting();
  uikit::SystemVolume& volume = uikit::SystemVolume::sharedInstance();
  volume.setVolume(0.3F);
  av::SoundOutput::setSystemVolume(1);

  assembly::ApplicationAssembly::connectParts();
  EXPECT_FLOAT_EQ(av::SoundOutput::systemVolume(), 0.3F);
  volume.setVolume(0.8F);
  EXPECT_FLOAT_EQ(av::SoundOutput::systemVolume(), 0.8F);
  volume.setVolume(0);
  EXPECT_EQ(av::SoundOutput::systemVolume(), 0);

  testsupport::resetForTesting();
  EXPECT_EQ(av::SoundOutput::systemVolume(), av::SoundOutput::kDefaultSystemVolume);
}

}  // namespace

}  // namespace app
