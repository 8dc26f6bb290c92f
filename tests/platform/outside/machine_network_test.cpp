// The machine's own network as the reachability monitors follow it, in a network namespace the test makes
// and changes: a watcher process inside it reports the status at start and at each change notification.
// Where no namespace can be made (not root, no iproute2), the test says so and skips.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>

#include "platform/outside/NetworkStatus.h"
#include "support/tool_run.h"

namespace outside {
namespace {

constexpr char kNamespacePrefix[] = "quillmark-reach-";

// Deletes the namespaces left by runs of this test that ended before they could (their process is gone).
void deleteNamespacesOfEndedRuns() {
  std::istringstream names(testsupport::runTool("ip netns list").output);
  for (std::string line; std::getline(names, line);) {
    const std::string name = line.substr(0, line.find(' '));
    if (name.rfind(kNamespacePrefix, 0) != 0) {
      continue;
    }
    const pid_t owner = static_cast<pid_t>(std::atol(name.c_str() + std::strlen(kNamespacePrefix)));
    if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) {
      testsupport::runTool("ip netns delete " + name);
    }
  }
}

// A network namespace of its own, holding only a loopback interface that is down; deleted with the object.
class NetworkNamespace {
 public:
  NetworkNamespace() : name_(kNamespacePrefix + std::to_string(getpid())) {}
  ~NetworkNamespace() {
    if (made_) {
      testsupport::runTool("ip netns delete " + name_);
    }
  }
  NetworkNamespace(const NetworkNamespace&) = delete;
  NetworkNamespace& operator=(const NetworkNamespace&) = delete;

  // Makes the namespace; returns the reason when it cannot be made.
  std::optional<std::string> make() {
    deleteNamespacesOfEndedRuns();
    const testsupport::ToolRun run = testsupport::runTool("ip netns add " + name_);
    made_ = run.exitStatus == 0;
    return made_ ? std::nullopt : std::optional(run.output);
  }

  // Runs `ip` with `arguments` inside the namespace; returns what went wrong, or an empty text.
  std::string ip(const std::string& arguments) const {
    const testsupport::ToolRun run = testsupport::runTool("ip -n " + name_ + " " + arguments);
    return run.exitStatus == 0 ? std::string() : "ip " + arguments + ": " + run.output;
  }

  const std::string& name() const { return name_; }

 private:
  const std::string name_;
  bool made_ = false;
};

// The watcher program running inside a namespace, killed with the object (or with this process).
class Watcher {
 public:
  explicit Watcher(const NetworkNamespace& space) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
      return;
    }
    const char* const arguments[] = {"ip",   "netns", "exec", space.name().c_str(), MACHINE_NETWORK_WATCH,
                                     nullptr};
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      dup2(ends[1], STDOUT_FILENO);
      execvp("ip", const_cast<char* const*>(arguments));
      _exit(127);
    }
    close(ends[1]);
    output_ = ends[0];
  }
  ~Watcher() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) {
      close(output_);
    }
  }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // Returns the next status the watcher reports, or nullopt when it ends or says nothing for long (a
  // bound for a broken run, not a wait: each report comes as the event happens).
  std::optional<int> nextStatus() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::size_t end;
    while ((end = pending_.find('\n')) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd readable{output_, POLLIN, 0};
      char buffer[256];
      ssize_t read = 0;
      if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
          (read = ::read(output_, buffer, sizeof buffer)) <= 0) {
        return std::nullopt;
      }
      pending_.append(buffer, static_cast<std::size_t>(read));
    }
    const std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return std::stoi(line);
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
};

// With only loopback there is no network; a wired pair with a default route makes it Wi-Fi (unmetered);
// the interface losing its carrier, then the route going, each take it away again, and each change is
// notified as it happens.
TEST(MachineNetworkTest, FollowsTheDefaultRouteOfANamespace) {
  NetworkNamespace space;
  if (const std::optional<std::string> why = space.make()) {
    GTEST_SKIP() << "no network namespace can be made here (it takes root and iproute2): " << *why;
  }
  // Without IPv6 no address settles on an interface later on, so each report answers the step before it.
  ASSERT_EQ(testsupport::runTool("ip netns exec " + space.name() +
                                 " sysctl -qw net.ipv6.conf.default.disable_ipv6=1")
                .exitStatus,
            0);
  Watcher watcher(space);
  ASSERT_EQ(watcher.nextStatus(), NotReachable);

  for (const char* step : {"link add qm0 type veth peer name qm1", "link set qm1 up", "link set qm0 up",
                           "address add 10.77.0.1/24 dev qm0", "route add default via 10.77.0.2 dev qm0"}) {
    ASSERT_EQ(space.ip(step), "");
  }
  EXPECT_EQ(watcher.nextStatus(), ReachableViaWiFi);

  ASSERT_EQ(space.ip("link set qm1 down"), "");
  EXPECT_EQ(watcher.nextStatus(), NotReachable) << "the route is left, but its interface has no carrier";
  ASSERT_EQ(space.ip("link set qm1 up"), "");
  EXPECT_EQ(watcher.nextStatus(), ReachableViaWiFi);

  ASSERT_EQ(space.ip("route delete default"), "");
  EXPECT_EQ(watcher.nextStatus(), NotReachable);
}

}  // namespace
}  // namespace outside
