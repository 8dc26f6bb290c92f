// An independent client, Debian's ffprobe and ffmpeg, plays a sample lesson: online from the signed playlist
// URL, and offline from the lesson's downloaded folder served by HTTPServer.

#include <nlohmann/json.hpp>

#include "embedded_server/http/HTTPServer.h"
#include "learning/downloads/download_test_util.h"
#include "support/tool_run.h"

namespace learning {

namespace {

using downloadtest::DownloadRoad;
using testsupport::runTool;
using testsupport::ToolRun;

// What the lesson's HLS playlists need of the tools: segment and key URLs without a media file extension.
constexpr char kPlaylistFlags[] = "-allowed_extensions ALL -protocol_whitelist http,tcp,crypto,file";

// Returns "<type>,<frames decoded>" for each stream ffprobe finds at `url`, in its order.
std::vector<std::string> probedStreams(const std::string& url) {
  const ToolRun probe =
      runTool(std::string("ffprobe -v error ") + kPlaylistFlags +
              " -count_frames -show_entries stream=codec_type,nb_read_frames -of json '" + url + "'");
  EXPECT_EQ(probe.exitStatus, 0) << probe.output;
  std::vector<std::string> streams;
  const nlohmann::json report = nlohmann::json::parse(probe.output, nullptr, false);
  if (report.is_object() && report.contains("streams")) {
    for (const nlohmann::json& stream : report["streams"]) {
      streams.push_back(stream.value("codec_type", "") + "," + stream.value("nb_read_frames", ""));
    }
  }
  return streams;
}

TEST(IndependentClient, FindsBothTracksAndDecodesTheLessonOnlineAndDownloaded) {
  DownloadRoad road;
  embedded_server::HTTPServer server;
  const std::vector<std::string> urls = downloadtest::onlineAndOfflineLessonURLs(road, server);
  ASSERT_EQ(urls.size(), 2u);

  // Four segments of ten frames each, and 0.4 s of sound in every segment.
  for (const std::string& url : urls) {
    const std::vector<std::string> streams = probedStreams(url);
    ASSERT_EQ(streams.size(), 2u) << url;
    EXPECT_EQ(streams[0], "video,40") << url;
    EXPECT_THAT(streams[1], ::testing::MatchesRegex("audio,[1-9][0-9]+")) << url;
    const ToolRun decode =
        runTool(std::string("ffmpeg -v error ") + kPlaylistFlags + " -i '" + url + "' -f null -");
    EXPECT_EQ(decode.exitStatus, 0) << url;
    EXPECT_EQ(decode.output, "") << url;
  }
}

}  // namespace

}  // namespace learning
