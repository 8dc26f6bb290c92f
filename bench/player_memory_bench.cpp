// Peak resident memory while a 60-minute lesson at a recording's size (1280x720, 25 pictures a second)
// plays at 16 times its pace, offline from a lesson folder served by the lesson server (HTTPServer) over
// loopback. The counters give the process's peak resident memory (VmHWM, started afresh just before the
// play) once 1, 10 and 60 minutes of media have played; the target is a flat peak after the first minute:
// the 60-minute peak at most 10% above the 1-minute one.
//
// Encoding 60 minutes at 1280x720 takes many minutes and holds the whole stream in memory, so the lesson is
// the sample back end's three-minute lesson twenty times over, as one stream: each copy's timestamps and
// PCR move on by the copy's length and every continuity counter carries on (TransportStreamRetimer), so the
// engine meets one long lesson with no discontinuity, not a repeat. (The kernel's count of resident memory
// is approximate to a few hundred KB, so a later peak may read a little lower.) Its folder (playlist, key and
// 360 encrypted ten-second segments) is written once into the benchmarks' temporary folder and reused by
// later runs.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "embedded_server/http/HTTPServer.h"
#include "media_bench_util.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/storage/FileManager.h"
#include "transport_stream_retimer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCopyMinutes = 3;
constexpr int kCopies = 20;
constexpr float kRate = 16;
constexpr double kTargetGrowth = 0.10;
// Minutes of media at which the peak is read.
constexpr int kCheckpointMinutes[] = {1, 10, 60};

// Writes the long lesson's folder into `folder`, its completion marked last by "complete", unless an
// earlier run did. Returns whether the folder is whole.
bool writeLongLessonFolder(const std::string& folder) {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  const std::string marker = folder + "/complete";
  if (files.fileExistsAtPath(marker)) {
    return true;
  }
  const auto library = sample_backend::media::MediaLibrary::make(mediabench::recordingLesson(kCopyMinutes));
  if (!library.ok() || !files.createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes).ok() ||
      !files.createFileAtPath(folder + "/key.bin", (*library)->key()).ok()) {
    return false;
  }
  std::string playlist = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n#EXT-X-MEDIA-SEQUENCE:0\n";
  playlist += "#EXT-X-KEY:METHOD=AES-128,URI=\"key.bin\",IV=0x" + ns::hexString((*library)->iv()) + "\n";
  mediabench::TransportStreamRetimer retimer;
  std::int64_t copyTicks = 0;
  std::size_t written = 0;
  for (int copy = 0; copy < kCopies; ++copy) {
    for (std::size_t index = 0; index < (*library)->segmentCount(); ++index) {
      ns::Data segment = (*library)->plainSegment(index);
      retimer.retime(segment, copy * copyTicks);
      const std::string name = "seg" + std::to_string(written++) + ".ts";
      const ns::Result<ns::Data> encrypted =
          ns::aes128CbcEncrypt((*library)->key(), (*library)->iv(), segment);
      if (!encrypted.ok() ||
          !files.createFileAtPath(folder + "/" + name, *encrypted, ns::WriteDurability::kSurvivesProcessCrash)
               .ok()) {
        return false;
      }
      playlist += "#EXTINF:" + std::to_string((*library)->segmentDuration()) + ",\n" + name + "\n";
    }
    // The first copy, rewritten as it is, gives the length by which each copy moves on.
    if (copy == 0) {
      copyTicks = retimer.span();
    }
  }
  playlist += "#EXT-X-ENDLIST\n";
  return files.createFileAtPath(folder + "/index.m3u8", ns::dataFromString(playlist)).ok() &&
         files.createFileAtPath(marker, {}).ok();
}

void BM_PlayerPeakMemoryAt16x(benchmark::State& state) {
  const std::string folder = mediabench::benchCacheFolder() + "/long-lesson-" + std::to_string(kCopies) +
                             "x" + std::to_string(kCopyMinutes) + "min-" +
                             sample_backend::media::sizeText(mediabench::kRecordingVideo);
  if (!writeLongLessonFolder(folder)) {
    state.SkipWithError("the long lesson's folder could not be written");
    return;
  }
  embedded_server::HTTPServer server;
  server.setDocumentRoot(folder);
  if (!server.start().ok()) {
    state.SkipWithError("the lesson server did not start");
    return;
  }
  const std::string url = "http://127.0.0.1:" + std::to_string(server.listeningPort()) + "/index.m3u8";
  for (auto _ : state) {
    // What making the lesson left behind is handed back first, so that the peak is the play's.
    malloc_trim(0);
    state.counters["before_MB"] = mediabench::residentBytes("VmRSS") / 1e6;
    if (!mediabench::resetPeakResident()) {
      state.SkipWithError("the kernel did not start the peak afresh");
      return;
    }
    const Clock::time_point start = Clock::now();
    // At 16 times the pace an hour plays in under four minutes; an engine that cannot keep up gets eight
    // times that, and the counters then show how far it came.
    const Clock::time_point deadline = start + std::chrono::minutes(30);
    mediabench::Playback playback(url, kRate);
    for (const int minutes : kCheckpointMinutes) {
      const double seconds = minutes * 60.0;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (!playback.runUntil([&] { return playback.player().currentTime().seconds() >= seconds - 1; },
                             left)) {
        state.SkipWithError("the play failed or did not reach its checkpoint");
        break;
      }
      state.counters["peak_at_" + std::to_string(minutes) + "min_MB"] =
          mediabench::residentBytes("VmHWM") / 1e6;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["played_min"] = playback.player().currentTime().seconds() / 60;
    state.counters["achieved_rate"] = playback.player().currentTime().seconds() / wall;
    state.counters["stalls"] = playback.stalls();
    state.SetIterationTime(wall);
  }
  const double first = state.counters["peak_at_1min_MB"];
  const double last = state.counters["peak_at_60min_MB"];
  if (first > 0 && last > 0) {
    state.counters["growth_after_1min_percent"] = 100 * (last - first) / first;
    state.counters["target_growth_percent_max"] = 100 * kTargetGrowth;
    state.SetLabel(last <= first * (1 + kTargetGrowth) ? "meets its target" : "misses its target");
  }
}

BENCHMARK(BM_PlayerPeakMemoryAt16x)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
