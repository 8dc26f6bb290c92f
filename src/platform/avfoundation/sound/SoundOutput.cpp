#include "platform/avfoundation/sound/SoundOutput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

#include "platform/avfoundation/sound/SoundDeviceWriter.h"
#include "platform/avfoundation/sound/SoundServerStream.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/check/Mutex.h"

namespace av {

namespace {

std::atomic<float> processSystemVolume{SoundOutput::kDefaultSystemVolume};

using NoDeviceReporter = std::function<void(const std::string& line)>;

struct NoDeviceReporting {
  ns::Mutex mutex;
  std::shared_ptr<const NoDeviceReporter> reporter QM_GUARDED_BY(mutex);
};

NoDeviceReporting& noDeviceReporting() {
  static NoDeviceReporting* const shared = new NoDeviceReporting();  // never destroyed: outputs may open late
  return *shared;
}

void reportNoDevice(const std::string& line) {
  std::shared_ptr<const NoDeviceReporter> reporter;
  {
    NoDeviceReporting& reporting = noDeviceReporting();
    ns::MutexLock lock(reporting.mutex);
    reporter = reporting.reporter;
  }
  if (reporter) {
    (*reporter)(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

void SoundOutput::setNoDeviceReporter(std::function<void(const std::string& line)> reporter) {
  NoDeviceReporting& reporting = noDeviceReporting();
  ns::MutexLock lock(reporting.mutex);
  reporting.reporter = reporter ? std::make_shared<const NoDeviceReporter>(std::move(reporter)) : nullptr;
}

std::unique_ptr<SoundOutput> SoundOutput::open(int sampleRate, int channelCount) {
  QM_DCHECK(sampleRate > 0 && channelCount > 0, "the sound has a sample rate and channels");
  ns::Result<std::unique_ptr<SoundServerStream>> stream = SoundServerStream::open(sampleRate, channelCount);
  if (!stream.ok()) {
    reportNoDevice("av::SoundOutput: no sound device (" + stream.error().localizedDescription() +
                   "); the sound goes on silently");
    return openSilent();
  }
  return std::make_unique<SoundOutput>(std::move(stream).value(), sampleRate, channelCount);
}

std::unique_ptr<SoundOutput> SoundOutput::openSilent() {
  return std::make_unique<SoundOutput>(nullptr, 0, 0);
}

SoundOutput::SoundOutput(std::unique_ptr<SoundServerStream> stream, int sampleRate, int channelCount)
    : queue_(kCapacitySeconds, stream != nullptr),
      writer_(stream
                  ? std::make_unique<SoundDeviceWriter>(queue_, std::move(stream), sampleRate, channelCount)
                  : nullptr) {}

SoundOutput::~SoundOutput() = default;

bool SoundOutput::hasDevice() const {
  return queue_.hasDevice();
}

bool SoundOutput::append(DecodedAudio&& audio) {
  const bool taken = queue_.append(std::move(audio));
  if (taken) {
    wakeDevice();
  }
  return taken;
}

bool SoundOutput::waitForRoom(const std::stop_token& stop) {
  return queue_.waitForRoom(stop);
}

void SoundOutput::flush() {
  queue_.flush();
  wakeDevice();
}

void SoundOutput::setRate(float rate) {
  queue_.setRate(rate);
  wakeDevice();
}

std::optional<double> SoundOutput::heardSeconds() const {
  return queue_.heardSeconds();
}

void SoundOutput::consumeThrough(double seconds) {
  queue_.consumeThrough(seconds);
}

void SoundOutput::setSystemVolume(float volume) {
  if (std::isnan(volume)) {
    return;
  }
  processSystemVolume.store(std::clamp(volume, 0.0F, 1.0F));
}

float SoundOutput::systemVolume() {
  return processSystemVolume.load();
}

void SoundOutput::resetSystemVolumeForTesting() {
  processSystemVolume.store(kDefaultSystemVolume);
}

void SoundOutput::wakeDevice() {
  if (writer_) {
    writer_->wake();
  }
}

}  // namespace av
