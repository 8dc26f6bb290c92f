// Tap on a lesson row to the first picture: the playback screen's whole road from the tap (online: the
// server time, the signed playlist URL, the player; offline: the lesson server, the rewritten playlist, the
// player) to the first decoded picture its player shows, for a lesson at a recording's size (1280x720, 25
// pictures a second) in ten-second segments on the sample back end over loopback. In the same run, on the
// same URLs: the video player view alone (ZBPlayer's playURL, without the screen) and the media engine alone
// (an item, its player and layer, as tap_to_first_picture_bench measures it). Medians of the rounds. The
// target is the screen's own work on top of its player: the screen within 1.2 times the player view alone,
// online and offline; the ratios to the engine alone are shown beside.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "learning/course/listen_test_util.h"
#include "learning/player/ZBPlayer.h"
#include "media_bench_util.h"
#include "peer_program_bench_util.h"
#include "platform/uikit/driver/Driver.h"

namespace {

using Clock = std::chrono::steady_clock;
using learning::listentest::ListenRoad;

constexpr int kLessonMinutes = 3;
constexpr double kTargetRatio = 1.2;
// An online lesson and a downloaded one, far apart in the tree.
constexpr char kOnlineLesson[] = "联系与发展";
constexpr char kOfflineLesson[] = "历史条件";
constexpr char kOfflineLessonID[] = "101111";

// Whether the screen's player shows the first picture of its current media.
bool showsPicture(const ListenRoad& road) {
  const std::shared_ptr<learning::ZBPlayer> player = road.player();
  return road.playsTheChosenLesson() && player->player() && player->pllayer().player() == player->player() &&
         player->pllayer().isReadyForDisplay();
}

// Taps the row of `lesson` and returns the seconds to the first picture, or -1 when none came in 20 s.
double screenFirstPictureSeconds(ListenRoad& road, const std::string& lesson) {
  road.player()->breakMedia();
  const Clock::time_point start = Clock::now();
  if (!uikit::Driver::selectRow(lesson).ok() ||
      !ns::RunLoop::main().runUntil([&] { return showsPicture(road); }, std::chrono::seconds(20))) {
    return -1;
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Plays `url` on a video player view of its own (what the screen's player does, without the screen) and
// returns the seconds to its first picture, or -1.
double playerViewFirstPictureSeconds(const std::string& url) {
  const std::shared_ptr<learning::ZBPlayer> player =
      learning::ZBPlayer::playerWithFrame(uikit::Rect(0, 0, 375, 230));
  const Clock::time_point start = Clock::now();
  player->playURL(*ns::URL::fromString(url), "", 0);
  const bool shown = ns::RunLoop::main().runUntil(
      [&] {
        return player->player() && player->pllayer().player() == player->player() &&
               player->pllayer().isReadyForDisplay();
      },
      std::chrono::seconds(20));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  player->breakMedia();
  return shown ? seconds : -1;
}

// Plays `url` on the media engine alone (an item, its player and layer, as tap_to_first_picture_bench does)
// and returns the seconds to its first picture, or -1.
double engineFirstPictureSeconds(const std::string& url) {
  const Clock::time_point start = Clock::now();
  mediabench::Playback playback(url, 1.0F);
  if (!playback.runUntil([&] { return playback.layer().isReadyForDisplay(); }, std::chrono::seconds(20))) {
    return -1;
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_ListenTapToFirstPicture(benchmark::State& state) {
  ListenRoad road(mediabench::recordingLesson(kLessonMinutes));
  if (!road.openScreen() || !road.download({kOfflineLessonID})) {
    state.SkipWithError("the screen did not open or the lesson did not download");
    return;
  }
  const std::string lessons[2] = {kOnlineLesson, kOfflineLesson};
  // Index 0 online, 1 offline.
  std::vector<double> screenTimes[2];
  std::vector<double> playerViewTimes[2];
  std::vector<double> playerTimes[2];
  for (auto _ : state) {
    for (std::size_t place = 0; place < 2; ++place) {
      const double screen = screenFirstPictureSeconds(road, lessons[place]);
      const std::string url =
          road.player()->currentURL() ? road.player()->currentURL()->absoluteString() : "";
      road.player()->breakMedia();
      const double view = playerViewFirstPictureSeconds(url);
      const double alone = engineFirstPictureSeconds(url);
      if (screen < 0 || view < 0 || alone < 0) {
        state.SkipWithError(place == 0 ? "an online play showed no picture"
                                       : "an offline play showed no picture");
        return;
      }
      screenTimes[place].push_back(screen);
      playerViewTimes[place].push_back(view);
      playerTimes[place].push_back(alone);
    }
    state.SetIterationTime(screenTimes[0].back());
  }
  const auto median = [](const std::vector<double>& times) { return benchutil::median(times); };
  const double onlineRatio = median(screenTimes[0]) / median(playerViewTimes[0]);
  const double offlineRatio = median(screenTimes[1]) / median(playerViewTimes[1]);
  state.counters["online_ms"] = 1000 * median(screenTimes[0]);
  state.counters["offline_ms"] = 1000 * median(screenTimes[1]);
  state.counters["player_view_online_ms"] = 1000 * median(playerViewTimes[0]);
  state.counters["player_view_offline_ms"] = 1000 * median(playerViewTimes[1]);
  state.counters["engine_online_ms"] = 1000 * median(playerTimes[0]);
  state.counters["engine_offline_ms"] = 1000 * median(playerTimes[1]);
  state.counters["online_ratio"] = onlineRatio;
  state.counters["offline_ratio"] = offlineRatio;
  state.counters["online_ratio_to_engine"] = median(screenTimes[0]) / median(playerTimes[0]);
  state.counters["offline_ratio_to_engine"] = median(screenTimes[1]) / median(playerTimes[1]);
  state.counters["target_ratio_max"] = kTargetRatio;
  state.SetLabel(onlineRatio <= kTargetRatio && offlineRatio <= kTargetRatio ? "meets its target"
                                                                             : "misses its target");
}

BENCHMARK(BM_ListenTapToFirstPicture)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
