#pragma once

// CommandLineOptions: what the command line and its environment twins ask of a run of quillmark.
//
//   --home DIR                  QUILLMARK_HOME          the app sandbox folder
//   --web-host HOST[:PORT]      QUILLMARK_WEB_HOST      the back end; without it the sample back end runs
//                                                       embedded on a free loopback port
//   --stats-server HOST:PORT    QUILLMARK_STATS_SERVER  the play-statistics server
//   --network wifi|cellular|none QUILLMARK_NETWORK      a simulated network link; without it, wifi when the
//                                                       back end is on loopback, else the machine's own link
//   --script FILE                                       run the commands of FILE instead of reading them
//   --verbose                                           also show the console log on standard error
//   --version                                           print the bundle's version and stop
//
// A flag on the command line wins over its twin. Thread-safe as a value.

#include <optional>
#include <string>

#include "main/terminal/HostAndPort.h"
#include "platform/foundation/values/Result.h"
#include "platform/outside/NetworkStatus.h"

namespace terminal {

struct CommandLineOptions {
  std::optional<std::string> home;
  std::optional<HostAndPort> webHost;
  std::optional<HostAndPort> statsServer;
  std::optional<outside::NetworkStatus> network;
  std::optional<std::string> scriptPath;
  bool verbose = false;
  // The usage text, when --help asked for it; nothing else is set then.
  std::optional<std::string> usage;
  // Whether --version asked for the version; nothing else is set then.
  bool versionRequested = false;

  // Reads `argv` (argv[0] is the program) and the twins from the environment. Returns the options, or an
  // error (kUsageErrorDomain) whose description names the flag and says what is wrong with its value: an
  // unknown flag, a missing value, an address HostAndPort cannot read, a network other than wifi, cellular
  // or none, or a script file that does not exist.
  static ns::Result<CommandLineOptions> parse(int argc, const char* const* argv);
};

}  // namespace terminal
