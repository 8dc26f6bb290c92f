#pragma once

// av::LibavLog: the one owner of FFmpeg's process-wide log settings. FFmpeg's libraries keep a single log
// level and a single log callback for the whole process, so every part of the program that uses them (the
// media engine's demuxer and decoders, the sample back end's encoders) calls install() instead of setting
// them itself: the level is kLevel, and each message goes to standard error as one whole console line,
// "FFmpeg: <context> <text>". A line repeated at once is written once, followed by how often it repeated.
//
// Thread-safety: thread-safe; FFmpeg calls the callback from any of its threads.

extern "C" {
#include <libavutil/log.h>
}

namespace av {

class LibavLog {
 public:
  // Errors only: a damaged packet in a lesson, or an encoder that refuses its settings, is worth a line;
  // the libraries' notes on every stream they open are not, and failures that matter come back as errors.
  static constexpr int kLevel = AV_LOG_ERROR;

  // Sets the level and the callback, once per process; later calls do nothing.
  static void install();
  // Writes nothing from now on: for programs that feed arbitrary bytes to the libraries (the fuzz targets),
  // where every damaged packet would print a line.
  static void silence();

  LibavLog() = delete;
};

}  // namespace av
