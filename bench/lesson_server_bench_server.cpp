// Serves a folder with the lesson server, for lesson_server_bench.sh: prints the port it listens on, then
// serves until it is killed.

#include <cstdio>
#include <future>

#include "embedded_server/http/HTTPServer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  embedded_server::HTTPServer server;
  server.setDocumentRoot(argv[1]);
  if (const ns::Status started = server.start(); !started) {
    std::fprintf(stderr, "cannot start: %s\n", started.error().localizedDescription().c_str());
    return 1;
  }
  std::printf("%u\n", static_cast<unsigned>(server.listeningPort()));
  std::fflush(stdout);
  std::promise<void>().get_future().wait();
}
