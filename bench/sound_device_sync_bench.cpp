// How closely playback follows a sound device: a lesson of 10 seconds plays at pace on a sound server's
// device (a server of the benchmark's own whose one output plays into nothing at a real device's pace), and
// every 20 ms while the device plays, the player's position is compared with the item time of the sound
// heard and with the picture shown. The counters are the smallest, the largest and the median lead of the
// position over the sound (negative when the position lies behind it: it moves in ticks of 40 ms, a picture's
// time, while the sound plays on) and the largest distance of the picture from the position, in milliseconds.
// The target: the position at most 50 ms ahead of the sound (a player on its own clock leads by the device's
// latency). Where no sound server can start, the benchmark says why and measures nothing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "peer_program_bench_util.h"
#include "platform/avfoundation/Player.h"
#include "platform/avfoundation/PlayerItem.h"
#include "platform/avfoundation/engine_pacing_test_util.h"
#include "platform/avfoundation/served_lesson_test_util.h"
#include "platform/avfoundation/sound/sound_test_util.h"
#include "platform/avfoundation/sound/test_sound_server.h"
#include "platform/foundation/loop/RunLoop.h"
#include "sample_backend/media/LessonEncoding.h"
#include "support/loopback_http_server.h"

namespace {

constexpr std::size_t kLessonSeconds = 10;
constexpr double kSampleSeconds = 0.02;
constexpr double kMostLeadMilliseconds = 50;

void BM_PositionFollowsTheSoundDevice(benchmark::State& state) {
  soundtest::TestSoundServer soundServer;
  if (const std::optional<std::string> why = soundServer.start()) {
    state.SkipWithError(("no sound server: " + *why).c_str());
    return;
  }
  const soundtest::ScopedSoundServerAddress address(soundServer.address());
  testsupport::LoopbackHTTPServer server;
  const std::string url =
      avtest::serveLesson(server, "lesson",
                          *sample_backend::media::encodeLesson(
                              {.segmentCount = kLessonSeconds,
                               .framesPerSegment = sample_backend::media::kLessonFramesPerSecond}),
                          1.0);
  std::vector<double> leads;
  double pictureOff = 0;
  for (auto _ : state) {
    const auto item = av::PlayerItem::playerItemWithURL(*ns::URL::fromString(url));
    const auto player = av::Player::playerWithPlayerItem(item);
    if (!avtest::runUntilKeepingUpOrFailed(*item) || item->error()) {
      state.SkipWithError("the lesson did not load");
      return;
    }
    std::optional<double> lastHeard;
    const av::Player::TimeObserver observer =
        player->addPeriodicTimeObserverForInterval(av::Time::fromSeconds(kSampleSeconds), [&](av::Time time) {
          const std::optional<double> heard = item->soundHeardSeconds();
          const bool playing = heard && lastHeard && *heard != *lastHeard;
          lastHeard = heard;
          if (playing && player->currentPicture()) {
            leads.push_back(1000 * (time.seconds() - *heard));
            pictureOff =
                std::max(pictureOff, 1000 * std::abs(time.seconds() - player->currentPicture()->seconds));
          }
        });
    player->play();
    ns::RunLoop::main().runUntil([&] { return player->rate() == 0.0F || item->error(); },
                                 std::chrono::seconds(3 * kLessonSeconds));
    player->removeTimeObserver(observer);
  }
  const auto [leastLead, mostLead] = leads.empty() ? std::pair<double, double>{}
                                                   : std::pair{*std::min_element(leads.begin(), leads.end()),
                                                               *std::max_element(leads.begin(), leads.end())};
  const double medianLead = leads.empty() ? 0 : benchutil::median(leads);
  state.counters["samples"] = static_cast<double>(leads.size());
  state.counters["least_lead_ms"] = leastLead;
  state.counters["most_lead_ms"] = mostLead;
  state.counters["median_lead_ms"] = medianLead;
  state.counters["most_picture_off_ms"] = pictureOff;
  std::printf(
      "position ahead of the sound heard: %.1f to %.1f ms, median %.1f ms (target: at most %.0f ms ahead) "
      "%s\n",
      leastLead, mostLead, medianLead, kMostLeadMilliseconds,
      !leads.empty() && mostLead <= kMostLeadMilliseconds ? "met" : "NOT MET");
}
BENCHMARK(BM_PositionFollowsTheSoundDevice)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
