// Tap to first picture: the time from a lesson's player item being made (what playURL: does when a lesson
// is tapped: the item, its player and layer, and play) to the first decoded picture the player shows, for a
// lesson at a recording's size (1280x720, 25 pictures a second) in ten-second segments. Online, from the
// signed playlist on the sample back end; offline, from the lesson's downloaded folder served by the lesson
// server (HTTPServer), both over loopback. In the same run, the ffmpeg program's time to its first picture
// on the same playlists ("-frames:v 1 -f null", from its start to its exit). Medians of the rounds; the
// target is an offline first picture within 100 ms.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "embedded_server/http/HTTPServer.h"
#include "learning/downloads/download_test_util.h"
#include "media_bench_util.h"
#include "peer_program_bench_util.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLessonMinutes = 3;
constexpr double kOfflineTargetSeconds = 0.100;

// Plays the lesson at `url` afresh and returns the seconds from the item's making to the first picture
// shown, or -1 when the play failed or showed none within 20 seconds.
double engineFirstPictureSeconds(const std::string& url) {
  const Clock::time_point start = Clock::now();
  mediabench::Playback playback(url, 1.0F);
  if (!playback.runUntil([&] { return playback.layer().isReadyForDisplay(); }, std::chrono::seconds(20))) {
    return -1;
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs ffmpeg on `url` until its first decoded picture; returns the seconds it took, or -1 when it failed.
double ffmpegFirstPictureSeconds(const std::string& url) {
  return benchutil::peerProgramSeconds({"ffmpeg", "-nostdin", "-v", "error", "-allowed_extensions", "ALL",
                                        "-protocol_whitelist", "http,tcp,crypto,file", "-i", url, "-frames:v",
                                        "1", "-f", "null", "-"});
}

void BM_TapToFirstPicture(benchmark::State& state) {
  learning::downloadtest::DownloadRoad road(mediabench::recordingLesson(kLessonMinutes));
  embedded_server::HTTPServer server;
  const std::vector<std::string> urls = learning::downloadtest::onlineAndOfflineLessonURLs(road, server);
  if (urls.size() != 2) {
    state.SkipWithError("the lesson did not download");
    return;
  }
  // Index 0 online, 1 offline.
  std::vector<double> engineTimes[2];
  std::vector<double> ffmpegTimes[2];
  for (auto _ : state) {
    for (std::size_t place = 0; place < urls.size(); ++place) {
      const double engine = engineFirstPictureSeconds(urls[place]);
      const double ffmpeg = ffmpegFirstPictureSeconds(urls[place]);
      if (engine < 0 || ffmpeg < 0) {
        state.SkipWithError(place == 0 ? "an online play showed no picture"
                                       : "an offline play showed no picture");
        return;
      }
      engineTimes[place].push_back(engine);
      ffmpegTimes[place].push_back(ffmpeg);
    }
    state.SetIterationTime(engineTimes[1].back());
  }
  const double offline = benchutil::median(engineTimes[1]);
  state.counters["online_ms"] = 1000 * benchutil::median(engineTimes[0]);
  state.counters["offline_ms"] = 1000 * offline;
  state.counters["ffmpeg_online_ms"] = 1000 * benchutil::median(ffmpegTimes[0]);
  state.counters["ffmpeg_offline_ms"] = 1000 * benchutil::median(ffmpegTimes[1]);
  state.counters["target_offline_ms_max"] = 1000 * kOfflineTargetSeconds;
  state.SetLabel(offline < kOfflineTargetSeconds ? "meets its target" : "misses its target");
}

BENCHMARK(BM_TapToFirstPicture)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
