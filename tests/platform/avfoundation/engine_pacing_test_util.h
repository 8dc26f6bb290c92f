#pragma once

// avtest::playUntil: plays a player on the main loop's manual clock, one tick at a time, each tick once the
// engine is ready for it. A player item fetches and decodes on threads of its own in real time while the
// manual clock moves only when told. A player step waits up to a tick of real time for them (Player.h), which
// serves a test that advances the clock blindly; these steps wait on the engine's own state first, with a
// deadline of seconds, so that a slow machine never turns into a stall.

#include <chrono>
#include <functional>
#include <optional>

#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/scoped_manual_clock.h"

namespace avtest {

// The longest a test waits for the engine to get ready for a tick.
inline constexpr std::chrono::seconds kEngineDeadline{20};

// True when `item` can serve a tick that reaches `seconds`: it has decoded that far or to its end, it waits
// for data (the tick then shows a stall), or it failed.
inline bool isReadyFor(const av::PlayerItem& item, double seconds) {
  const std::optional<double> through = item.decodedThroughSeconds();
  return item.isDecodedToEnd() || (through && *through >= seconds) || item.isWaitingForData() ||
         item.error().has_value();
}

// Runs the main loop until `item` is likely to keep up or has failed; false when neither came within
// kEngineDeadline.
inline bool runUntilKeepingUpOrFailed(const av::PlayerItem& item) {
  return ns::RunLoop::main().runUntil([&] { return item.isPlaybackLikelyToKeepUp() || item.error(); },
                                      kEngineDeadline);
}

// Advances `clock` by one player tick at a time until `done`, each tick once the current item is ready for
// it (isReadyFor). `afterEach`, when given, runs after every callback of the main loop and after every
// tick. Returns done(); false also after `maxSteps` ticks, or when the item is not ready within
// kEngineDeadline.
inline bool playUntil(testsupport::ScopedManualClock& clock, const av::Player& player,
                      const std::function<bool()>& done, int maxSteps = 200,
                      const std::function<void()>& afterEach = {}) {
  const std::shared_ptr<av::PlayerItem> item = player.currentItem();
  const double tickSeconds = std::chrono::duration<double>(av::Player::kTick).count();
  for (int step = 0; step < maxSteps && !done(); ++step) {
    const double next = item->currentSeconds() + player.rate() * tickSeconds;
    const bool ready = ns::RunLoop::main().runUntil(
        [&] {
          if (afterEach) {
            afterEach();
          }
          return isReadyFor(*item, next);
        },
        kEngineDeadline);
    if (!ready) {
      return false;
    }
    clock.advance(av::Player::kTick);
    ns::RunLoop::main().runPending();
    if (afterEach) {
      afterEach();
    }
  }
  return done();
}

}  // namespace avtest
