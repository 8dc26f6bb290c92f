// Image loading: 200 avatars of about 100 KB (the sample back end's avatar JPEG, under 200 URLs) loaded
// into 200 image views from the sample back end over loopback, first with an empty cache (cold: fetched and
// decoded on the processing queue), then again (warm: every one from the cache). In the same run, the same
// bytes decoded 200 times by the image library alone on one thread. Medians of the rounds; the targets: cold
// at most 1.3 times the library's time, warm at least 20 times faster than cold.

#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "http_client/HCImageLoad.h"
#include "http_client/HCImageViewLoading.h"
#include "http_client/HCSharedImageCache.h"
#include "peer_program_bench_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "sample_backend/SampleBackend.h"
#include "sample_backend/media/SampleImages.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAvatars = 200;
constexpr double kColdTargetRatioMax = 1.3;
constexpr double kWarmTargetSpeedUpMin = 20;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Decodes the avatar kAvatars times with the library alone; returns the seconds it took.
double libraryDecodingSeconds(const ns::Data& avatar) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kAvatars; ++i) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels =
        stbi_load_from_memory(avatar.data(), static_cast<int>(avatar.size()), &width, &height, &channels, 4);
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  return secondsSince(start);
}

// Loads the avatars into fresh image views and returns the seconds until every view shows its picture, or -1
// when they did not within 60 seconds.
double loadingSeconds(const std::vector<ns::URL>& urls) {
  std::vector<std::shared_ptr<uikit::ImageView>> views;
  for (std::size_t i = 0; i < urls.size(); ++i) {
    views.push_back(std::make_shared<uikit::ImageView>());
  }
  const Clock::time_point start = Clock::now();
  for (std::size_t i = 0; i < urls.size(); ++i) {
    http_client::setImageWithURL(views[i], urls[i]);
  }
  const bool shown = ns::RunLoop::main().runUntil(
      [&] {
        return std::all_of(views.begin(), views.end(),
                           [](const auto& view) { return view->image() != nullptr; });
      },
      std::chrono::seconds(60));
  return shown ? secondsSince(start) : -1;
}

void BM_AvatarLoading(benchmark::State& state) {
  ns::Result<std::unique_ptr<sample_backend::SampleBackend>> backend =
      sample_backend::SampleBackend::start({});
  if (!backend) {
    state.SkipWithError("the sample back end did not start");
    return;
  }
  std::vector<ns::URL> urls;
  for (int i = 0; i < kAvatars; ++i) {
    urls.push_back(*ns::URL::fromString("http://" + (*backend)->webHost() +
                                        std::string(sample_backend::media::kAvatarImagePath) +
                                        "?learner=" + std::to_string(i)));
  }
  const ns::Data avatar =
      sample_backend::media::sampleImageAtPath(sample_backend::media::kAvatarImagePath)->bytes;
  std::vector<double> library;
  std::vector<double> cold;
  std::vector<double> warm;
  for (auto _ : state) {
    http_client::HCImageLoad::resetForTesting();
    library.push_back(libraryDecodingSeconds(avatar));
    cold.push_back(loadingSeconds(urls));
    warm.push_back(loadingSeconds(urls));
    if (cold.back() < 0 || warm.back() < 0) {
      state.SkipWithError("the avatars were not all shown");
      return;
    }
    state.SetIterationTime(cold.back());
  }
  const double coldRatio = benchutil::median(cold) / benchutil::median(library);
  const double warmSpeedUp = benchutil::median(cold) / benchutil::median(warm);
  state.counters["library_ms"] = 1000 * benchutil::median(library);
  state.counters["cold_ms"] = 1000 * benchutil::median(cold);
  state.counters["warm_ms"] = 1000 * benchutil::median(warm);
  state.counters["cold_per_library"] = coldRatio;
  state.counters["target_cold_per_library_max"] = kColdTargetRatioMax;
  state.counters["warm_speed_up"] = warmSpeedUp;
  state.counters["target_warm_speed_up_min"] = kWarmTargetSpeedUpMin;
  state.SetLabel(coldRatio <= kColdTargetRatioMax && warmSpeedUp >= kWarmTargetSpeedUpMin
                     ? "meets its targets"
                     : "misses its targets");
}

BENCHMARK(BM_AvatarLoading)->Iterations(7)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
