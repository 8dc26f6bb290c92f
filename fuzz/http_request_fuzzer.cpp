// Parses the input as a request the way a lesson server connection does, resolves its target below a small
// lesson folder and answers its Range header, checking that nothing outside the folder is ever chosen and
// that the answer's length adds up.

#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "embedded_server/http/HTTPDocumentRoot.h"
#include "embedded_server/http/HTTPRangeRequest.h"
#include "embedded_server/http/responses/HTTPFileResponse.h"

namespace fs = std::filesystem;
namespace http = boost::beast::http;

namespace {

// A lesson folder with a playlist, a segment, a subfolder with an index page and a link that leaves it.
const fs::path& lessonFolder() {
  static const fs::path folder = [] {
    const fs::path base =
        fs::temp_directory_path() / ("quillmark-fuzz-" + std::to_string(std::random_device{}()));
    fs::create_directories(base / "lesson" / "sub");
    std::ofstream(base / "secret") << "outside";
    std::ofstream(base / "lesson" / "index.m3u8") << "#EXTM3U\n#EXTINF:10,\nseg0.ts\n";
    std::ofstream(base / "lesson" / "seg0.ts") << std::string(1000, 's');
    std::ofstream(base / "lesson" / "sub" / "index.html") << "<html></html>";
    std::error_code ignored;
    fs::create_symlink(base / "secret", base / "lesson" / "leak.ts", ignored);
    return fs::canonical(base / "lesson");
  }();
  return folder;
}

void checkRanges(std::string_view header, std::uint64_t fileSize) {
  const auto request = embedded_server::HTTPRangeRequest::parse(header, fileSize);
  for (const embedded_server::LGRange& range : request.ranges()) {
    if (range.length == 0 || range.location + range.length > fileSize) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  checkRanges(input, size);

  http::request_parser<http::empty_body> parser;
  parser.header_limit(16 * 1024);
  boost::beast::error_code error;
  parser.put(boost::asio::buffer(input.data(), input.size()), error);
  if (error || !parser.is_header_done()) {
    return 0;
  }
  const auto& request = parser.get();
  const auto target = request.target();
  const auto file = embedded_server::HTTPDocumentRoot(lessonFolder().string())
                        .fileForTarget(std::string_view(target.data(), target.size()));
  if (!file) {
    return 0;
  }
  const fs::path& root = lessonFolder();
  if (std::mismatch(root.begin(), root.end(), file->begin(), file->end()).first != root.end()) {
    std::abort();  // a path outside the lesson folder was chosen
  }
  const auto range = request.find(http::field::range);
  const auto response = embedded_server::HTTPFileResponse::forFile(
      *file, range == request.end() ? std::nullopt
                                    : std::optional<std::string_view>(
                                          std::string_view(range->value().data(), range->value().size())));
  if (response.ok() && std::stoull(std::string(response->head[http::field::content_length])) !=
                           embedded_server::HTTPResponse::bodyLength(response->body)) {
    std::abort();
  }
  return 0;
}
