// A 100 MB multipart upload of a file over loopback through the HTTP client's manager (the multipart
// builder, the streamed body read by the network thread, the reply on the main queue), against the curl
// program's `curl -F file=@...` of the same file to the same server, in one run (told, as the manager's
// requests are, not to wait for a "100 Continue" before the body). Both are taken by a server
// on a plain loopback socket that reads and drops every byte. The program ends by printing how many times
// longer the manager takes (target: at most 1.2) and how far the process's resident memory rose above its
// idle size while the manager's uploads ran (target: under 16 MB), which shows the body is never held whole.
// The session manager's upload task is measured the same way, beside them.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCHTTPSessionManager.h"
#include "platform/foundation/loop/RunLoop.h"

namespace {

constexpr std::uint64_t kFileSize = 100ull * 1024 * 1024;

// Answers every request with 200 once it has read the whole body, and drops the body's bytes. One
// connection at a time, each closed after its reply.
class DiscardingServer {
 public:
  DiscardingServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      for (;;) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
          return;
        }
        serve(connection);
        ::close(connection);
      }
    });
  }
  ~DiscardingServer() {
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/upload"; }

 private:
  static void serve(int connection) {
    std::vector<char> buffer(256 * 1024);
    std::string head;
    std::uint64_t remaining = 0;
    bool inBody = false;
    while (!inBody || remaining > 0) {
      const ssize_t count = ::recv(connection, buffer.data(), buffer.size(), 0);
      if (count <= 0) {
        return;
      }
      if (inBody) {
        remaining -= std::min<std::uint64_t>(remaining, static_cast<std::uint64_t>(count));
        continue;
      }
      head.append(buffer.data(), static_cast<std::size_t>(count));
      const std::size_t end = head.find("\r\n\r\n");
      if (end == std::string::npos) {
        continue;
      }
      inBody = true;
      const std::size_t field = head.find("Content-Length: ");
      const std::uint64_t length = field == std::string::npos ? 0 : std::stoull(head.substr(field + 16));
      remaining = length - std::min<std::uint64_t>(length, head.size() - end - 4);
    }
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
  }

  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

DiscardingServer& server() {
  static DiscardingServer instance;
  return instance;
}

const std::string& uploadFile() {
  static const std::string path = [] {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("multipart-upload-bench-" + std::to_string(getpid()) + ".bin"))
                                 .string();
    std::ofstream out(file, std::ios::binary);
    std::vector<char> block(1 << 20);
    for (std::size_t index = 0; index < block.size(); ++index) {
      block[index] = static_cast<char>(index * 7);
    }
    for (std::uint64_t written = 0; written < kFileSize; written += block.size()) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return file;
  }();
  return path;
}

std::uint64_t statusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field)) {
      return std::stoull(line.substr(std::string(field).size())) * 1024;
    }
  }
  return 0;
}

void BM_ManagerMultipartUpload(benchmark::State& state) {
  const auto manager = std::make_shared<http_client::HCHTTPRequestOperationManager>();
  manager->setResponseSerializer(http_client::HCHTTPResponseSerializer::serializer());
  const ns::URL file = *ns::URL::fromString("file://" + uploadFile());
  const std::uint64_t idle = statusBytes("VmRSS:");
  int failures = 0;
  for (auto _ : state) {
    bool ended = false;
    manager->POST(
        server().url(), std::nullopt,
        [&](http_client::HCMultipartFormData& formData) {
          if (!formData.appendPartWithFileURL(file, "file").ok()) {
            ++failures;
          }
        },
        [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const std::optional<ns::Value>&) {
          ended = true;
        },
        [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const ns::Error&) {
          ++failures;
          ended = true;
        });
    ns::RunLoop::main().runUntil([&] { return ended; }, std::chrono::seconds(120));
  }
  state.counters["MB_above_idle"] =
      static_cast<double>(statusBytes("VmHWM:") - std::min(idle, statusBytes("VmHWM:"))) / (1024 * 1024);
  if (failures > 0) {
    state.SkipWithError("some uploads failed");
  }
}
BENCHMARK(BM_ManagerMultipartUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same upload through the session manager: the body streamed by an upload task of the URL session.
void BM_SessionManagerMultipartUpload(benchmark::State& state) {
  const auto manager = http_client::HCHTTPSessionManager::manager();
  manager->setResponseSerializer(http_client::HCHTTPResponseSerializer::serializer());
  const ns::URL file = *ns::URL::fromString("file://" + uploadFile());
  // The peak so far belongs to whatever ran before; it starts again from what the process holds now.
  std::ofstream("/proc/self/clear_refs") << "5";
  const std::uint64_t idle = statusBytes("VmRSS:");
  int failures = 0;
  for (auto _ : state) {
    bool ended = false;
    manager->POST(
        server().url(), std::nullopt,
        [&](http_client::HCMultipartFormData& formData) {
          if (!formData.appendPartWithFileURL(file, "file").ok()) {
            ++failures;
          }
        },
        [&](const std::shared_ptr<ns::URLSessionTask>&, const std::optional<ns::Value>&) { ended = true; },
        [&](const std::shared_ptr<ns::URLSessionTask>&, const ns::Error&) {
          ++failures;
          ended = true;
        });
    ns::RunLoop::main().runUntil([&] { return ended; }, std::chrono::seconds(120));
  }
  state.counters["session_MB_above_idle"] =
      static_cast<double>(statusBytes("VmHWM:") - std::min(idle, statusBytes("VmHWM:"))) / (1024 * 1024);
  manager->session()->finishTasksAndInvalidate();
  if (failures > 0) {
    state.SkipWithError("some uploads failed");
  }
}
BENCHMARK(BM_SessionManagerMultipartUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlProgramMultipartUpload(benchmark::State& state) {
  const std::string command =
      "curl -s -o /dev/null -H Expect: -F file=@" + uploadFile() + " " + server().url() + " > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("curl failed");
    }
  }
}
BENCHMARK(BM_CurlProgramMultipartUpload)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers each benchmark's median real time and the manager's memory, to print them against the targets.
class TargetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        realTimes_[run.run_name.function_name] = run.GetAdjustedRealTime();
        if (const auto memory = run.counters.find("MB_above_idle"); memory != run.counters.end()) {
          megabytesAboveIdle_ = memory->second.value;
        }
        if (const auto memory = run.counters.find("session_MB_above_idle"); memory != run.counters.end()) {
          sessionMegabytesAboveIdle_ = memory->second.value;
        }
      }
    }
  }
  void printTargets() const {
    const auto manager = realTimes_.find("BM_ManagerMultipartUpload");
    const auto curl = realTimes_.find("BM_CurlProgramMultipartUpload");
    if (manager != realTimes_.end() && curl != realTimes_.end() && curl->second > 0) {
      std::printf("manager / curl -F, 100 MB multipart upload: %.2f (target: at most 1.20)\n",
                  manager->second / curl->second);
    }
    std::printf("peak resident memory above idle during the manager's uploads: %.1f MB (target: under 16)\n",
                megabytesAboveIdle_);
    const auto session = realTimes_.find("BM_SessionManagerMultipartUpload");
    if (session != realTimes_.end() && curl != realTimes_.end() && curl->second > 0) {
      std::printf("session manager / curl -F, 100 MB multipart upload: %.2f (target: at most 1.20)\n",
                  session->second / curl->second);
    }
    std::printf(
        "peak resident memory above idle during the session manager's uploads: %.1f MB (target: under 16)\n",
        sessionMegabytesAboveIdle_);
  }

 private:
  std::map<std::string, double> realTimes_;
  double megabytesAboveIdle_ = 0;
  double sessionMegabytesAboveIdle_ = 0;
};

}  // namespace

// Each benchmark runs five times, interleaved with the other, and the ratio compares medians.
int main(int argc, char** argv) {
  std::vector<char*> arguments{argv[0]};
  std::string repetitions = "--benchmark_repetitions=5";
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  arguments.insert(arguments.end(), {repetitions.data(), interleaving.data(), aggregatesOnly.data()});
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printTargets();
  std::filesystem::remove(uploadFile());
  benchmark::Shutdown();
  return 0;
}
