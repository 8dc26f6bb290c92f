#include "main/terminal/CommandLineOptions.h"

#include <CLI/CLI.hpp>

#include "main/terminal/UsageError.h"

namespace terminal {

namespace {

// Reads the address `text` of the flag `flag` into `address`.
ns::Status readAddress(const std::optional<std::string>& text, const std::string& flag,
                       HostAndPort::Port port, std::optional<HostAndPort>& address) {
  if (!text) {
    return {};
  }
  ns::Result<HostAndPort> parsed = HostAndPort::parse(*text, port);
  if (!parsed.ok()) {
    return usageError(flag + ": " + parsed.error().localizedDescription());
  }
  address = *parsed;
  return {};
}

}  // namespace

ns::Result<CommandLineOptions> CommandLineOptions::parse(int argc, const char* const* argv) {
  CLI::App app(
      "Quillmark, the learning application, in a terminal. Without --script it reads commands "
      "from standard input; type help for them.",
      "quillmark");
  std::optional<std::string> home;
  std::optional<std::string> webHost;
  std::optional<std::string> statsServer;
  std::optional<std::string> network;
  std::optional<std::string> scriptPath;
  app.add_option("--home", home, "The app sandbox folder (default $XDG_DATA_HOME/quillmark)")
      ->envname("QUILLMARK_HOME")
      ->type_name("DIR");
  app.add_option("--web-host", webHost, "The back end; without it a sample back end runs on loopback")
      ->envname("QUILLMARK_WEB_HOST")
      ->type_name("HOST[:PORT]");
  app.add_option("--stats-server", statsServer, "The play-statistics server")
      ->envname("QUILLMARK_STATS_SERVER")
      ->type_name("HOST:PORT");
  app.add_option("--network", network, "Simulated link (default: wifi if the back end is local, else real)")
      ->envname("QUILLMARK_NETWORK")
      ->type_name("wifi|cellular|none");
  // The check's own description would repeat "FILE" in the help.
  CLI::Validator existingFile = CLI::ExistingFile;
  existingFile.description("");
  app.add_option("--script", scriptPath, "Run the commands of FILE, then quit")
      ->check(existingFile)
      ->type_name("FILE");

  bool verbose = false;
  app.add_flag("--verbose", verbose, "Also show the console log (<home>/console.log) on standard error");
  bool versionRequested = false;
  app.add_flag("--version", versionRequested, "Print the version and stop");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    CommandLineOptions help;
    help.usage = app.help();
    return help;
  } catch (const CLI::ParseError& error) {
    return usageError(error.what());
  }

  CommandLineOptions options;
  if (versionRequested) {
    options.versionRequested = true;
    return options;
  }
  if (home && home->empty()) {
    return usageError("--home / QUILLMARK_HOME: the folder is empty text");
  }
  options.home = home;
  options.scriptPath = scriptPath;
  options.verbose = verbose;
  if (ns::Status status = readAddress(webHost, "--web-host / QUILLMARK_WEB_HOST",
                                      HostAndPort::Port::kOptional, options.webHost);
      !status.ok()) {
    return status.error();
  }
  if (ns::Status status = readAddress(statsServer, "--stats-server / QUILLMARK_STATS_SERVER",
                                      HostAndPort::Port::kRequired, options.statsServer);
      !status.ok()) {
    return status.error();
  }
  if (network) {
    options.network = outside::networkStatusFromName(*network);
    if (!options.network) {
      return usageError("--network / QUILLMARK_NETWORK: \"" + *network + "\" is not wifi, cellular or none");
    }
  }
  return options;
}

}  // namespace terminal
