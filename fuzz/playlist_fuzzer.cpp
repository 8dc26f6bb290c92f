// Reads the input as a lesson's index playlist and rewrites it for the local lesson server, twice, as a
// download and a later start of the server on another port do. The parser must list only segment URLs
// that the download manager can fetch and store; the rewriter must change only the key URI and those
// segment lines, each to a name that the lesson server maps back to the file the segment was stored in.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/text/StringEncoding.h"
#include "platform/net/PercentEscaping.h"
#include "platform/net/URL.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFirstBase = "http://127.0.0.1:8080/";
constexpr std::string_view kSecondBase = "http://127.0.0.1:9090/";

// The folder of the playlist file that the rewriter works on, in memory-backed storage where there is
// some, since every rewrite flushes the file to disk. It goes when the fuzzer exits.
class ScratchFolder {
 public:
  ScratchFolder() {
    const fs::path shared("/dev/shm");
    path_ = (fs::is_directory(shared) ? shared : fs::temp_directory_path()) /
            ("quillmark-fuzz-" + std::to_string(std::random_device{}()));
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }

  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

const std::string& playlistPath() {
  static const ScratchFolder folder;
  static const std::string path = folder.file("index.m3u8");
  return path;
}

void checkParse(std::string_view text) {
  const std::optional<learning::ZBM3U8Set> set = learning::ZBM3U8::decodeM3U8IndexContext(text);
  if (!set) {
    return;
  }
  requireProperty(set->tsMetadatas().size() == set->tsURIs().size(), "every segment has its duration");
  for (const std::string& url : set->tsURIs()) {
    requireProperty(url.starts_with("http://") && ns::URL::fromString(url),
                    "a listed segment is an http URL");
    requireProperty(learning::percentEscapedSegmentURL(url) == url, "a listed segment URL is escaped once");
    requireProperty(learning::segmentFileName(url).has_value(),
                    "a listed segment has a file name to be stored under");
  }
}

// The lines of `text` exactly as they were written between line feeds.
std::vector<std::string_view> writtenLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// Checks that a segment line became the name of the file its segment is stored under.
void checkSegmentLine(std::string_view original, std::string_view rewritten, std::string_view base) {
  const std::optional<std::string> url = learning::downloadableSegmentURL(original);
  if (!url) {
    requireProperty(rewritten == original, "a segment line that is not downloaded stays as it is");
    return;
  }
  const std::optional<std::string> storedName = learning::segmentFileName(*url);
  requireProperty(rewritten == ns::percentEscape(*storedName, ns::kURLUnreservedPunctuation),
                  "a downloaded segment line becomes its escaped file name");
  const std::optional<ns::URL> local = ns::URL::fromString(rewritten, *ns::URL::fromString(base));
  requireProperty(local && learning::segmentFileName(local->absoluteString()) == storedName,
                  "the local URL of a rewritten segment names the file it was stored in");
}

// Rewrites the playlist file for `base` and returns the new text, or nullopt when the text was refused.
std::optional<std::string> rewrite(std::string_view text, std::string_view base) {
  const ns::FileManager& files = ns::FileManager::defaultManager();
  const ns::Data before = ns::dataFromString(text);
  requireProperty(
      files.createFileAtPath(playlistPath(), before, ns::WriteDurability::kSurvivesProcessCrash).ok(),
      "the fuzzer's playlist file is written");
  const ns::Status status = learning::ZBM3U8::replaceM3U8File(playlistPath(), base);
  const ns::Result<ns::Data> after = files.contentsAtPath(playlistPath());
  requireProperty(after.ok(), "the playlist file is still there");
  if (!status.ok()) {
    requireProperty(*after == before, "a refused rewrite leaves the file untouched");
    return std::nullopt;
  }
  return ns::stringFromData(*after);
}

void checkRewrite(std::string_view text) {
  const std::optional<std::string> rewritten = rewrite(text, kFirstBase);
  requireProperty(
      rewritten.has_value() == ns::StringEncoding::utf8().decode(ns::dataFromString(text)).has_value(),
      "a playlist is rewritten exactly when it is UTF-8 text");
  if (!rewritten) {
    return;
  }
  const std::vector<av::PlaylistLine> lines = av::splitPlaylistLines(text);
  const std::vector<std::string_view> rewrittenLines = writtenLines(*rewritten);
  requireProperty(rewrittenLines.size() == lines.size(), "the rewriter keeps every line");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == av::PlaylistLine::Kind::kSegment) {
      checkSegmentLine(lines[i].text, rewrittenLines[i], kFirstBase);
    } else if (lines[i].kind == av::PlaylistLine::Kind::kOther) {
      requireProperty(rewrittenLines[i] == lines[i].text,
                      "a line other than key and segments stays as it is");
    }
  }

  const std::optional<learning::ZBM3U8Set> original = learning::ZBM3U8::decodeM3U8IndexContext(text);
  const std::optional<learning::ZBM3U8Set> offline = learning::ZBM3U8::decodeM3U8IndexContext(*rewritten);
  requireProperty(original.has_value() == offline.has_value(), "a rewritten playlist is still a playlist");
  if (original) {
    requireProperty(offline->tsURIs().empty(), "a rewritten playlist lists nothing left to download");
    requireProperty(offline->sequence() == original->sequence() && offline->cache() == original->cache() &&
                        offline->version() == original->version() &&
                        offline->targetDuration() == original->targetDuration() &&
                        offline->method() == original->method() && offline->iv() == original->iv(),
                    "the rewriter keeps every tag's value but the key URI");
    requireProperty(
        offline->uri() == (original->uri() ? std::optional(std::string(kFirstBase) + "K.bin") : std::nullopt),
        "the key URI points at the local server");
  }

  const std::optional<std::string> again = rewrite(*rewritten, kSecondBase);
  requireProperty(again.has_value(), "a rewritten playlist can be rewritten");
  const std::vector<std::string_view> againLines = writtenLines(*again);
  requireProperty(againLines.size() == lines.size(), "rewriting again keeps every line");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    requireProperty(lines[i].kind == av::PlaylistLine::Kind::kKey || againLines[i] == rewrittenLines[i],
                    "rewriting again changes nothing but the key lines");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  checkParse(text);
  checkRewrite(text);
  return 0;
}
