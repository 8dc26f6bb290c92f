#pragma once

// soundtest::TestSoundServer: a sound server of the test's own, started in a temporary folder, whose one
// output plays into nothing at the pace of a real device. The test reaches it at address(). Where the
// server program is missing or will not start, start() says why, so that the test can skip.
//
// Thread-safety: one thread at a time.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace soundtest {

class TestSoundServer {
 public:
  TestSoundServer() = default;
  // Stops the server and removes its folder.
  ~TestSoundServer();
  TestSoundServer(const TestSoundServer&) = delete;
  TestSoundServer& operator=(const TestSoundServer&) = delete;

  // Starts the server and returns once it takes connections. Returns nullopt when it runs, else the reason
  // it does not.
  std::optional<std::string> start();
  // The address to connect to, as the sound server's client library reads it.
  std::string address() const;
  // Ends the server as a crash would (SIGKILL) and waits until it is gone.
  void kill();

 private:
  // Sends `signal` to the server and waits, a few seconds at most, until it is gone.
  void end(int signal);

  std::filesystem::path folder_;
  pid_t pid_ = 0;
};

}  // namespace soundtest
