#include "platform/avfoundation/sound/test_sound_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace soundtest {

namespace {

constexpr std::chrono::milliseconds kProcessDeadline{10000};

// Returns the path of `program` on PATH, or nullopt.
std::optional<std::filesystem::path> findProgram(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::filesystem::path candidate =
        std::filesystem::path(folders.substr(start, end - start)) / program;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

// Waits until process `pid` ends, `deadline` at most. Returns whether it ended.
bool waitForEnd(pid_t pid, std::chrono::milliseconds deadline) {
  const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (descriptor < 0) {
    return true;  // Gone already.
  }
  pollfd ended{descriptor, POLLIN, 0};
  const bool gone = poll(&ended, 1, static_cast<int>(deadline.count())) == 1;
  close(descriptor);
  return gone;
}

std::string lastLinesOf(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

}  // namespace

TestSoundServer::~TestSoundServer() {
  end(SIGTERM);
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::optional<std::string> TestSoundServer::start() {
  const std::optional<std::filesystem::path> program = findProgram("pulseaudio");
  if (!program) {
    return "no sound server program (pulseaudio) is installed";
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-sound-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    return "no temporary folder for the sound server";
  }
  folder_ = pattern;
  const std::filesystem::path script = folder_ / "server.pa";
  // The output writes into a pipe that nobody reads, timed by the system clock as a device is by its own.
  std::ofstream(script)
      << "load-module module-pipe-sink sink_name=quillmark_test use_system_clock_for_timing=yes"
      << " file=" << (folder_ / "output").string() << "\n"
      << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << (folder_ / "native").string()
      << "\n";

  // The server's own folders, home and configuration all lie in the temporary folder; it daemonizes, and
  // its starter exits once the daemon takes connections.
  const std::string log = "--log-target=newfile:" + (folder_ / "log").string();
  std::vector<std::string> arguments = {program->string(),
                                        "-n",
                                        "-F",
                                        script.string(),
                                        "--daemonize=yes",
                                        "--use-pid-file=yes",
                                        "--system=no",
                                        "--exit-idle-time=-1",
                                        "--disable-shm=yes",
                                        "--realtime=no",
                                        "--high-priority=no",
                                        log};
  std::vector<std::string> environment = {"PATH=/usr/bin:/bin",
                                          "HOME=" + folder_.string(),
                                          "XDG_RUNTIME_DIR=" + folder_.string(),
                                          "XDG_CONFIG_HOME=" + folder_.string(),
                                          "PULSE_RUNTIME_PATH=" + (folder_ / "runtime").string(),
                                          "PULSE_STATE_PATH=" + (folder_ / "state").string()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& variable : environment) {
    envp.push_back(variable.data());
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t starter = 0;
  const int spawned = posix_spawn(&starter, program->c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return "the sound server program did not run";
  }
  if (!waitForEnd(starter, kProcessDeadline)) {
    ::kill(starter, SIGKILL);
    waitpid(starter, nullptr, 0);
    return "the sound server did not start in time";
  }
  int status = 0;
  waitpid(starter, &status, 0);
  std::ifstream pidFile(folder_ / "runtime" / "pid");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !(pidFile >> pid_)) {
    pid_ = 0;
    return "the sound server did not start: " + lastLinesOf(folder_ / "log");
  }
  return std::nullopt;
}

std::string TestSoundServer::address() const {
  return "unix:" + (folder_ / "native").string();
}

void TestSoundServer::kill() {
  end(SIGKILL);
}

void TestSoundServer::end(int signal) {
  if (pid_ <= 0) {
    return;
  }
  ::kill(pid_, signal);
  if (!waitForEnd(pid_, kProcessDeadline)) {
    ::kill(pid_, SIGKILL);
    waitForEnd(pid_, kProcessDeadline);
  }
  pid_ = 0;
}

}  // namespace soundtest
