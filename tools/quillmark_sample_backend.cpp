// The sample back end as a program of its own: serves the JSON API of the catalogue and the lesson videos
// (signed playlists, keys, encrypted segments) and the play-statistics server on the loopback interface,
// prints where they run, how to sign in and how to point quillmark at them, and runs until interrupted.
//
// Exit status: 0 after SIGINT or SIGTERM (and after --help and --version), 2 for flags that cannot be used, 3
// when the back end cannot start.

#include <CLI/CLI.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "platform/foundation/storage/Bundle.h"
#include "sample_backend/SampleBackend.h"

namespace {

constexpr int kExitBadUsage = 2;
constexpr int kExitCannotStart = 3;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(
      "Quillmark's sample back end: the JSON API, the lesson videos and the play statistics on 127.0.0.1.",
      "quillmark_sample_backend");
  sample_backend::SampleBackend::Options options;
  options.cataloguePath = sample_backend::api::SampleCatalogue::defaultPath();
  // A port, or 0 for any free one; anything else is named with the range it must lie in.
  const CLI::Validator portRange =
      CLI::Validator(
          [](std::string& text) {
            int port = -1;
            const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), port);
            const bool valid =
                failure == std::errc() && end == text.data() + text.size() && port >= 0 && port <= 65535;
            return valid ? std::string()
                         : "\"" + text +
                               "\" is not a port: give 1-65535, or 0 for the last start's (with this "
                               "--state) when free, else any free one";
          },
          "")
          .name("PORT");
  app.add_option("--port", options.apiPort,
                 "Port of the JSON API; 0 takes the last start's with this --state when it is free, else any "
                 "free port")
      ->check(portRange)
      ->capture_default_str();
  app.add_option("--stats-port", options.statisticsPort,
                 "Port of the play-statistics server; 0 takes the last start's with this --state when it is "
                 "free, else any free port")
      ->check(portRange)
      ->capture_default_str();
  app.add_option("--catalogue", options.cataloguePath, "The sample catalogue (JSON)")->capture_default_str();
  app.add_option("--state", options.stateFolder,
                 "The folder where sessions and saved progress outlive a restart (default: kept in memory)")
      ->type_name("DIR");
  std::string lessonSize = sample_backend::media::sizeText(options.lessonVideo);
  app.add_option(
         "--lesson-size", lessonSize,
         "The size of the lesson video in pixels, even sides from 32 to 4096; a lesson recording's is "
         "1280x720. The lesson is encoded at the first start at each size and kept in the state folder")
      ->type_name("WIDTHxHEIGHT")
      ->capture_default_str();
  bool versionRequested = false;
  app.add_flag("--version", versionRequested, "Print the version and stop");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    return 0;
  } catch (const CLI::ParseError& error) {
    std::cerr << "quillmark_sample_backend: " << error.what() << "\n";
    return kExitBadUsage;
  }
  if (versionRequested) {
    const ns::Value* version =
        ns::Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
    std::cout << "quillmark_sample_backend " << (version != nullptr ? version->stringValue() : "unknown")
              << "\n";
    return 0;
  }
  const std::optional<sample_backend::media::VideoFormat> lessonVideo =
      sample_backend::media::withSizeText(options.lessonVideo, lessonSize);
  if (!lessonVideo) {
    std::cerr << "quillmark_sample_backend: --lesson-size " << lessonSize
              << " is no WIDTHxHEIGHT of even sides from 32 to 4096\n";
    return kExitBadUsage;
  }
  options.lessonVideo = *lessonVideo;

  ns::Result<std::unique_ptr<sample_backend::SampleBackend>> backend =
      sample_backend::SampleBackend::start(options);
  if (!backend.ok()) {
    std::cerr << "quillmark_sample_backend: " << backend.error().localizedDescription() << "\n";
    return kExitCannotStart;
  }
  // The stop signals are caught before the program says where it runs, so that a client that stops it as
  // soon as it reads that still sees it exit 0.
  boost::asio::io_context signals;
  boost::asio::signal_set stopSignals(signals, SIGINT, SIGTERM);
  stopSignals.async_wait([](const boost::system::error_code&, int) {});
  std::cout << (*backend)->welcomeText() << "Point quillmark at it with: quillmark --web-host "
            << (*backend)->webHost() << " --stats-server 127.0.0.1:" << (*backend)->statisticsPort()
            << std::endl;
  signals.run();
  return 0;
}
