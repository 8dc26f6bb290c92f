#include "learning/course/QMLessonServer.h"

#include <filesystem>

#include "app/store/ConsoleLog.h"
#include "app/store/QMFileCacheInfo.h"
#include "learning/downloads/ZBM3U8.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/PercentEscaping.h"

namespace learning {

namespace {

constexpr char kDefaultPlaylistName[] = "index.m3u8";
// Besides the unreserved punctuation, "@" may stand in a URL path as it is; lesson folders are named
// "<subjectID>_@<stageID>_<courseID>".
constexpr std::string_view kPathPunctuationKept = "-._~@";

}  // namespace

QMLessonServer::QMLessonServer() : server_(std::make_unique<embedded_server::HTTPServer>()) {
  server_->setType(kServiceType);
}

ns::Result<ns::URL> QMLessonServer::playlistURLOf(const app::QMFileCacheInfo& record) {
  QM_DCHECK_MAIN_THREAD();
  const std::optional<std::string> folder = record.lessonFolderPath();
  if (!folder) {
    return ns::Error(kQMLessonServerErrorDomain, kNoLessonFolder);
  }
  ns::Result<std::uint16_t> port = runningPort();
  if (!port.ok()) {
    return port.error();
  }
  const std::filesystem::path folderPath(*folder);
  server_->setDocumentRoot(folderPath.parent_path().string());
  const std::string base = "http://127.0.0.1:" + std::to_string(*port) + "/" +
                           ns::percentEscape(folderPath.filename().string(), kPathPunctuationKept) + "/";
  const std::string playlistName = record.fileName().value_or(kDefaultPlaylistName);
  if (ns::Status rewritten = ZBM3U8::replaceM3U8File(*folder + "/" + playlistName, base); !rewritten.ok()) {
    return rewritten.error();
  }
  return *ns::URL::fromString(base + ns::percentEscape(playlistName, kPathPunctuationKept));
}

ns::Result<std::uint16_t> QMLessonServer::runningPort() {
  if (!server_->isRunning()) {
    if (ns::Status started = server_->start(); !started.ok()) {
      return started.error();
    }
    app::consoleLog("Started HTTP Server on port " + std::to_string(server_->listeningPort()));
  }
  return server_->listeningPort();
}

}  // namespace learning
