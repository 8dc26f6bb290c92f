// Player items open a sound output for their lessons, and a sound device sets the pace of playback. This
// test program reaches no sound server, whatever the machine runs, unless a test starts one of its own
// (soundtest::TestSoundServer): the machine's own never plays the tests' lessons nor sets their pace. Set
// while the program starts, before any thread reads the environment.

#include <cstdlib>

#include "platform/avfoundation/sound/sound_test_util.h"

namespace {

const bool kNoSoundServer = [] {
  setenv("PULSE_SERVER", soundtest::addressOfNoServer().c_str(), 1);
  return true;
}();

}  // namespace
