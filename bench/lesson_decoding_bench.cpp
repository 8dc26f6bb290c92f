// A three-minute sample lesson at a lesson recording's size (1280x720, 25 pictures a second) decoded as fast
// as it can be, picture and sound, from its signed playlist URL on the sample back end over loopback: by our
// engine's segment road with its video and audio decoders, and by the ffmpeg program ("-f null", its default
// threading) in the same run. The counter "ratio" is our median time over ffmpeg's; the target is at most
// 1.0.
//
// Our time runs from the playlist load to the last sound flushed from the decoder: playlist, key, every
// segment fetched, decrypted, demuxed and decoded, with whatever the decoders do to each picture and sound.
// ffmpeg's runs from its start to its exit. The player itself paces what it decodes, so the road and the
// decoders are driven here as the player drives them, without the pacing.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "learning/downloads/download_test_util.h"
#include "media_bench_util.h"
#include "peer_program_bench_util.h"
#include "platform/avfoundation/lesson_decoding_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLessonMinutes = 3;
constexpr double kTargetRatio = 1.0;

// Decodes the lesson at `url` with our engine; returns the seconds it took, or -1 when it failed or did not
// decode the whole lesson.
double engineSeconds(const std::string& url) {
  const Clock::time_point start = Clock::now();
  const std::shared_ptr<avtest::LessonDecoding> decoded = avtest::decodeLesson(url, std::chrono::minutes(5));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double lessonSeconds = kLessonMinutes * 60;
  const bool whole =
      decoded->ended && !decoded->failure && decoded->audioSeconds > lessonSeconds - 1 &&
      decoded->pictureCount >=
          static_cast<std::size_t>(lessonSeconds * mediabench::kRecordingVideo.framesPerSecond) - 1;
  return whole ? seconds : -1;
}

// Runs ffmpeg on `url`, decoding every stream and writing nothing; returns the seconds it took, or -1 when
// it failed.
double ffmpegSeconds(const std::string& url) {
  std::vector<std::string> arguments = {"ffmpeg",
                                        "-nostdin",
                                        "-v",
                                        "error",
                                        "-allowed_extensions",
                                        "ALL",
                                        "-protocol_whitelist",
                                        "http,tcp,crypto,file",
                                        "-i",
                                        url,
                                        "-f",
                                        "null",
                                        "-"};
  return benchutil::peerProgramSeconds(std::move(arguments));
}

void BM_LessonDecodingAgainstFfmpeg(benchmark::State& state) {
  learning::downloadtest::DownloadRoad road(mediabench::recordingLesson(kLessonMinutes));
  // The download gives the lesson its record, whose file URL is the signed playlist URL.
  learning::QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  if (!road.runUntilStatus(0, app::kQMDownloadDone, std::chrono::minutes(5))) {
    state.SkipWithError("the lesson did not download");
    return;
  }
  const std::string url = road.record(0)->fileURL().value_or("");
  std::vector<double> engineTimes;
  std::vector<double> ffmpegTimes;
  bool ffmpegFirst = false;
  for (auto _ : state) {
    // The two take turns going first, so that neither gains from a warmer cache on every round.
    const double ffmpegBefore = ffmpegFirst ? ffmpegSeconds(url) : 0;
    const double engine = engineSeconds(url);
    const double ffmpeg = ffmpegFirst ? ffmpegBefore : ffmpegSeconds(url);
    if (engine < 0 || ffmpeg < 0) {
      state.SkipWithError("a decoding failed");
      return;
    }
    engineTimes.push_back(engine);
    ffmpegTimes.push_back(ffmpeg);
    ffmpegFirst = !ffmpegFirst;
    state.SetIterationTime(engine);
  }
  // Medians, so that a moment of load on a shared machine does not decide the ratio.
  const double engineMedian = benchutil::median(engineTimes);
  const double ffmpegMedian = benchutil::median(ffmpegTimes);
  state.counters["engine_s"] = engineMedian;
  state.counters["ffmpeg_s"] = ffmpegMedian;
  state.counters["ratio"] = engineMedian / ffmpegMedian;
  state.counters["target_ratio_max"] = kTargetRatio;
  state.SetLabel(engineMedian / ffmpegMedian <= kTargetRatio ? "meets its target" : "misses its target");
}

BENCHMARK(BM_LessonDecodingAgainstFfmpeg)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
