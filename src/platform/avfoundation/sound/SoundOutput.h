#pragma once

// av::SoundOutput: one player's sound output. Its producer appends the item's decoded sound, in item time;
// the output plays it on the sound server's default device at the playback rate and the system volume, and
// tells the item time heard, which the player's time follows. Where no device can be had (no sound server,
// as in CI or on a server) the output is silent: open() says why in one line to the no-device reporter
// (standard error unless one is set), and the sound is consumed without being heard at the pace the player
// gives with consumeThrough(). Opening never fails.
//
// Rates: 0 pauses (the device is corked); from 0.5 to 2 the sound plays at that tempo with its pitch kept;
// at any other rate it is consumed at that pace as silence. The output starts paused.
//
// Volume: every output plays at the process-wide system volume (setSystemVolume()), from 0 (silent) to 1.
//
// Thread-safety: any thread; the producer and the player may call from threads of their own. Destroying the
// output stops and joins its device thread. REQUIRES: no call in progress when it is destroyed.

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/avfoundation/DecodedAudio.h"
#include "platform/avfoundation/sound/SoundQueue.h"

namespace av {

class SoundDeviceWriter;
class SoundServerStream;

class SoundOutput {
 public:
  // How much sound, in item time, may wait ahead of what is heard before append() refuses more.
  static constexpr double kCapacitySeconds = 1.0;
  // The system volume of a new process.
  static constexpr float kDefaultSystemVolume = 0.5F;

  // Returns an output, owned by the caller, for sound of `sampleRate` and `channelCount`: on the sound
  // server's default device when one answers, else silent, after one console line naming the cause.
  // REQUIRES: sampleRate > 0, channelCount > 0.
  static std::unique_ptr<SoundOutput> open(int sampleRate, int channelCount);
  // Sends the line open() says when it finds no device to `reporter`, from the thread that opens, instead
  // of standard error; an empty function sends it to standard error again. Thread-safe.
  static void setNoDeviceReporter(std::function<void(const std::string& line)> reporter);
  // Returns a silent output, owned by the caller, without looking for a device.
  static std::unique_ptr<SoundOutput> openSilent();

  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // True while the sound goes to a device: false for a silent output, and from the moment a device goes
  // away (said in a console line), after which the output goes on silently.
  bool hasDevice() const;

  // Queues `audio` (its `seconds` in item time), moving from it, and returns true; returns false, leaving
  // `audio` as it was, while about kCapacitySeconds wait ahead of what is heard. Sound of another sample
  // rate or channel count than the output's is consumed as silence of its duration.
  bool append(DecodedAudio&& audio);
  // Waits, without polling, until append() would take sound or `stop` is requested. Returns true when there
  // is room, false when stopped.
  bool waitForRoom(const std::stop_token& stop);
  // Drops everything queued and, where the device allows, what is written to it and not yet heard (a seek).
  void flush();
  // Plays at `rate` from now on (see the header comment); a rate that is not a positive finite number
  // pauses.
  void setRate(float rate);

  // The item time of the sound heard now: with a device, what was written less the device's latency;
  // silent, the point consumeThrough() reached. nullopt from a flush (and the start) until sound is heard.
  std::optional<double> heardSeconds() const;
  // Silent: consumes the queued sound up to item time `seconds` (the player's position, each tick), so that
  // the silent output goes at the player's pace. With a device it does nothing: the device sets the pace.
  void consumeThrough(double seconds);

  // The volume every output plays at, from 0 to 1; values outside are cut to that range and a value that is
  // not a number changes nothing. Takes effect for the sound rendered from now on.
  static void setSystemVolume(float volume);
  static float systemVolume();
  // Returns the system volume to kDefaultSystemVolume.
  static void resetSystemVolumeForTesting();

  // Use open() or openSilent(); public for std::make_unique. A null `stream` makes a silent output.
  SoundOutput(std::unique_ptr<SoundServerStream> stream, int sampleRate, int channelCount);

 private:
  void wakeDevice();

  SoundQueue queue_;
  // After the queue, which the writer uses until it is destroyed. Null for a silent output.
  const std::unique_ptr<SoundDeviceWriter> writer_;
};

}  // namespace av
