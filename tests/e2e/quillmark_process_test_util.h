#pragma once

// runQuillmark(): runs the quillmark executable (runProgram(): any program) as a child process with the given
// arguments, standard input empty, and collects its exit status and what it wrote. A run that outlives its
// deadline is killed, so no test hangs on it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace e2e {

struct ProcessRun {
  // The exit status, or -1 when the process was killed or ended by a signal.
  int exitStatus = -1;
  std::string out;
  std::string errors;
  bool timedOut = false;
};

// A folder of its own under the system's temporary folder, removed with the object.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::random_device randomness;
    do {
      path_ = std::filesystem::temp_directory_path() / ("quillmark-e2e-" + std::to_string(randomness()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  std::string path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// How many times `part` occurs in `text` at or after `from`.
inline std::size_t occurrences(const std::string& text, const std::string& part, std::size_t from = 0) {
  std::size_t count = 0;
  for (std::size_t found = text.find(part, from); found != std::string::npos;
       found = text.find(part, found + 1)) {
    ++count;
  }
  return count;
}

inline std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

inline ProcessRun runProgram(const char* program, const std::vector<std::string>& arguments,
                             const TemporaryFolder& folder, std::chrono::seconds deadline) {
  const std::string outPath = folder.path("stdout.txt");
  const std::string errorsPath = folder.path("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> rawArgv;
  for (std::string& argument : argv) {
    rawArgv.push_back(argument.data());
  }
  rawArgv.push_back(nullptr);

  ProcessRun run;
  pid_t child = 0;
  // The child checks for leaks as the test program does (ASAN_OPTIONS comes with the environment).
  const int spawned = posix_spawn(&child, program, &actions, nullptr, rawArgv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
    return run;
  }
  std::future<int> ended = std::async(std::launch::async, [child] {
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  });
  if (ended.wait_for(deadline) == std::future_status::timeout) {
    kill(child, SIGKILL);
    run.timedOut = true;
  }
  const int status = ended.get();
  run.exitStatus = !run.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readFile(outPath);
  run.errors = readFile(errorsPath);
  return run;
}

inline ProcessRun runQuillmark(const std::vector<std::string>& arguments, const TemporaryFolder& folder,
                               std::chrono::seconds deadline = std::chrono::seconds(60)) {
  return runProgram(QUILLMARK_EXECUTABLE, arguments, folder, deadline);
}

}  // namespace e2e
