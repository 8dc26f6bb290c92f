#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "main/terminal/CommandLineOptions.h"
#include "main/terminal/HostAndPort.h"

namespace terminal {

namespace {

// Sets an environment variable for the life of a test.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
  ~ScopedEnvironment() { unsetenv(name_); }

 private:
  const char* name_;
};

ns::Result<CommandLineOptions> parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "quillmark");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  return CommandLineOptions::parse(static_cast<int>(argv.size()), argv.data());
}

std::string errorOf(std::vector<std::string> arguments) {
  ns::Result<CommandLineOptions> options = parse(std::move(arguments));
  return options.ok() ? std::string("(no error)") : options.error().localizedDescription();
}

TEST(HostAndPortTest, ReadsHostsWithOptionalOrRequiredPorts) {
  using enum HostAndPort::Port;
  const std::vector<std::tuple<const char*, HostAndPort::Port, const char*, std::optional<std::uint16_t>>>
      cases = {{"api.example.org", kOptional, "api.example.org", std::nullopt},
               {"127.0.0.1:8080", kRequired, "127.0.0.1", 8080},
               {"[::1]:9000", kRequired, "[::1]", 9000}};
  for (const auto& [text, port, host, number] : cases) {
    ns::Result<HostAndPort> parsed = HostAndPort::parse(text, port);
    ASSERT_TRUE(parsed.ok()) << text;
    EXPECT_EQ(parsed->host, host);
    EXPECT_EQ(parsed->port, number);
    EXPECT_EQ(parsed->text(), text);
  }
  const std::vector<std::pair<const char*, const char*>> bad = {{"", "names no host"},
                                                                {":80", "names no host"},
                                                                {"host:", "port"},
                                                                {"host:0", "port"},
                                                                {"host:65536", "port"},
                                                                {"host:8o", "port"},
                                                                {"::1:80", "IPv6"},
                                                                {"[::1", "never closes"},
                                                                {"[::1]x", "not \":PORT\""},
                                                                {"http://127.0.0.1:8080", "drop \"http://\""},
                                                                {"back end.example.org", "holds a space"},
                                                                {"host/api:80", "holds \"/\""},
                                                                {"[::g1]:80", "holds \"g\""},
                                                                {"h\xc3\xb6st", "not a printable ASCII"}};
  for (const auto& [text, why] : bad) {
    ns::Result<HostAndPort> parsed = HostAndPort::parse(text, kOptional);
    ASSERT_FALSE(parsed.ok()) << text;
    EXPECT_NE(parsed.error().localizedDescription().find(why), std::string::npos)
        << text << ": " << parsed.error().localizedDescription();
  }
  EXPECT_FALSE(HostAndPort::parse("stats.example.org", kRequired).ok());
  // The form to write names the port when one is required.
  EXPECT_NE(HostAndPort::parse("http://stats.example.org:1", kRequired)
                .error()
                .localizedDescription()
                .find("write HOST:PORT"),
            std::string::npos);
}

TEST(CommandLineOptionsTest, ReadsEveryFlag) {
  const std::string script = (std::filesystem::temp_directory_path() / "quillmark-options-test.qms").string();
  std::ofstream(script) << "show\n";

  ns::Result<CommandLineOptions> options =
      parse({"--home", "/tmp/qm", "--web-host", "127.0.0.1:8080", "--stats-server", "127.0.0.1:12345",
             "--network", "cellular", "--script", script, "--verbose"});
  std::filesystem::remove(script);
  ASSERT_TRUE(options.ok()) << options.error().localizedDescription();
  EXPECT_EQ(options->home, "/tmp/qm");
  EXPECT_EQ(options->webHost->text(), "127.0.0.1:8080");
  EXPECT_EQ(options->statsServer->host, "127.0.0.1");
  EXPECT_EQ(options->statsServer->port, 12345);
  EXPECT_EQ(options->network, outside::ReachableViaWWAN);
  EXPECT_EQ(options->scriptPath, script);
  EXPECT_TRUE(options->verbose);
  EXPECT_EQ(options->usage, std::nullopt);
  EXPECT_FALSE(options->versionRequested);
  ns::Result<CommandLineOptions> version = parse({"--version"});
  ASSERT_TRUE(version.ok());
  EXPECT_TRUE(version->versionRequested);

  ns::Result<CommandLineOptions> none = parse({});
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none->home || none->webHost || none->statsServer || none->network || none->scriptPath ||
               none->verbose);
}

TEST(CommandLineOptionsTest, EnvironmentTwinsStandInForMissingFlags) {
  ScopedEnvironment home("QUILLMARK_HOME", "/tmp/from-env");
  ScopedEnvironment webHost("QUILLMARK_WEB_HOST", "backend.example.org");
  ScopedEnvironment stats("QUILLMARK_STATS_SERVER", "stats.example.org:4000");
  ScopedEnvironment network("QUILLMARK_NETWORK", "none");

  ns::Result<CommandLineOptions> options = parse({"--home", "/tmp/from-flag"});
  ASSERT_TRUE(options.ok()) << options.error().localizedDescription();
  EXPECT_EQ(options->home, "/tmp/from-flag") << "a flag wins over its twin";
  EXPECT_EQ(options->webHost->text(), "backend.example.org");
  EXPECT_EQ(options->statsServer->text(), "stats.example.org:4000");
  EXPECT_EQ(options->network, outside::NotReachable);
}

TEST(CommandLineOptionsTest, BadValuesAreNamedWithTheirFlag) {
  EXPECT_NE(errorOf({"--network", "lte"}).find("--network / QUILLMARK_NETWORK: \"lte\" is not wifi"),
            std::string::npos);
  EXPECT_NE(errorOf({"--web-host", "host:99999"}).find("--web-host"), std::string::npos);
  EXPECT_NE(errorOf({"--stats-server", "127.0.0.1"}).find("--stats-server / QUILLMARK_STATS_SERVER"),
            std::string::npos);
  EXPECT_NE(errorOf({"--script", "/no/such/script.qms"}).find("--script"), std::string::npos);
  EXPECT_NE(errorOf({"--home", ""}).find("--home"), std::string::npos);
  EXPECT_NE(errorOf({"--colour"}).find("--colour"), std::string::npos);
  EXPECT_NE(errorOf({"--web-host"}).find("--web-host"), std::string::npos);

  EXPECT_NE(errorOf({"--web-host", "https://backend.example.org"}).find("drop \"https://\""),
            std::string::npos);

  ScopedEnvironment network("QUILLMARK_NETWORK", "satellite");
  EXPECT_NE(errorOf({}).find("\"satellite\""), std::string::npos);
}

}  // namespace

}  // namespace terminal
