#pragma once

// SampleBackendProcess: runs the quillmark_sample_backend program as a child process, reads the lines it
// prints at start (where it runs, how to sign in, how to point quillmark at it), and stops it with SIGTERM
// when the object goes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace e2e {

class SampleBackendProcess {
 public:
  // Starts the program with `arguments` and reads what it prints until the line that names the
  // --web-host, or until `deadline` passes.
  explicit SampleBackendProcess(std::vector<std::string> arguments,
                                std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
      ADD_FAILURE() << "cannot make a pipe";
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    arguments.insert(arguments.begin(), SAMPLE_BACKEND_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int spawned =
        posix_spawn(&pid_, SAMPLE_BACKEND_EXECUTABLE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (spawned != 0) {
      pid_ = 0;
      ADD_FAILURE() << "cannot start " << SAMPLE_BACKEND_EXECUTABLE;
      return;
    }
    readUntil("--web-host", deadline);
  }
  ~SampleBackendProcess() {
    stop();
    if (output_ >= 0) {
      close(output_);
    }
  }
  SampleBackendProcess(const SampleBackendProcess&) = delete;
  SampleBackendProcess& operator=(const SampleBackendProcess&) = delete;

  // What the program printed so far.
  const std::string& printed() const { return printed_; }

  // The word that follows `flag` in what it printed, or "" when it printed none.
  std::string valueAfter(const std::string& flag) const {
    const std::size_t found = printed_.find(flag + " ");
    if (found == std::string::npos) {
      return "";
    }
    const std::size_t start = found + flag.size() + 1;
    return printed_.substr(start, printed_.find_first_of(" \n", start) - start);
  }

  // Sends SIGTERM and returns the exit status, or -1 when it did not exit by itself.
  int stop() {
    if (pid_ == 0) {
      return -1;
    }
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  void readUntil(const std::string& text, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (printed_.find(text) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      pollfd readable{output_, POLLIN, 0};
      if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        ADD_FAILURE() << "the sample back end did not print " << text << "; it printed: " << printed_;
        return;
      }
      char buffer[512];
      const ssize_t count = read(output_, buffer, sizeof buffer);
      if (count <= 0) {
        ADD_FAILURE() << "the sample back end ended its output; it printed: " << printed_;
        return;
      }
      printed_.append(buffer, static_cast<std::size_t>(count));
    }
  }

  pid_t pid_ = 0;
  int output_ = -1;
  std::string printed_;
};

}  // namespace e2e
