// The sample back end as a program of its own: serves the JSON API of the catalogue and the lesson videos
// (signed playlists, keys, encrypted segments) on the loopback interface, prints its address, and runs
// until interrupted.

#include <CLI/CLI.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>
#include <csignal>
#include <cstdint>
#include <iostream>

#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/MediaService.h"

int main(int argc, char** argv) {
  CLI::App app("Quillmark's sample back end: the JSON API and the lesson videos on 127.0.0.1.");
  std::uint16_t port = 0;
  std::string cataloguePath = sample_backend::api::SampleCatalogue::defaultPath();
  app.add_option("--port", port, "Port to listen on; 0 takes any free port")->capture_default_str();
  app.add_option("--catalogue", cataloguePath, "The sample catalogue (JSON)")->capture_default_str();
  CLI11_PARSE(app, argc, argv);

  ns::Result<sample_backend::api::SampleCatalogue> catalogue =
      sample_backend::api::SampleCatalogue::fromFile(cataloguePath);
  if (!catalogue.ok()) {
    std::cerr << catalogue.error().localizedDescription() << "\n";
    return 1;
  }
  ns::Result<std::shared_ptr<const sample_backend::media::MediaLibrary>> library =
      sample_backend::media::MediaLibrary::make();
  if (!library.ok()) {
    std::cerr << library.error().localizedDescription() << "\n";
    return 1;
  }
  auto service = std::make_shared<sample_backend::api::ApiService>(std::move(catalogue).value());
  auto media = std::make_shared<sample_backend::media::MediaService>(service, std::move(library).value());
  ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> server =
      sample_backend::api::ApiServer::start(service, port, media);
  if (!server.ok()) {
    std::cerr << server.error().localizedDescription() << "\n";
    return 1;
  }
  std::cout << (*server)->baseURL() << std::endl;

  boost::asio::io_context signals;
  boost::asio::signal_set stopSignals(signals, SIGINT, SIGTERM);
  stopSignals.async_wait([](const boost::system::error_code&, int) {});
  signals.run();
  return 0;
}
