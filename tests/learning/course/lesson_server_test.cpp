// The playback screen's lesson server over real lesson folders and a real loopback connection: each lesson
// under its own path, so that a connection kept alive across a lesson change never serves the previous
// lesson's files; a server that cannot start is an error, never a URL with port 0.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "app/store/store_test_util.h"
#include "learning/course/QMLessonServer.h"
#include "platform/foundation/storage/FileManager.h"
#include "support/raw_client_test_util.h"

namespace learning {
namespace {

class LessonServerTest : public app::storetest::StoreCatalogueTest {
 protected:
  // Writes a downloaded lesson's playlist for `courseID` whose segment is named after the lesson.
  std::string writeLesson(const std::string& courseID) {
    const std::string folder = *record(courseID)->lessonFolderPath();
    EXPECT_TRUE(ns::FileManager::defaultManager()
                    .createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes)
                    .ok());
    const std::string playlist =
        "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-KEY:METHOD=AES-128,URI=\"http://example.com/key?x=1\",IV=0x1\n"
        "#EXT-X-TARGETDURATION:10\n#EXTINF:10.0,\nhttp://example.com/lesson" +
        courseID + ".ts?sign=abc\n#EXT-X-ENDLIST\n";
    EXPECT_TRUE(ns::FileManager::defaultManager()
                    .createFileAtPath(folder + "/index.m3u8", ns::Data(playlist.begin(), playlist.end()))
                    .ok());
    return folder;
  }

  // GETs `url`'s path on `client`'s kept-alive connection and returns the whole answer, head and body.
  static std::string get(server_testing::RawClient& client, const ns::URL& url) {
    const std::string text = url.absoluteString();
    const std::string path = text.substr(text.find('/', std::string("http://").size()));
    client.send("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: keep-alive\r\n\r\n");
    std::string answer;
    for (std::string piece = client.receive(); !piece.empty() && !isComplete(answer += piece);
         piece = client.receive()) {
    }
    return answer;
  }

  // Whether `answer` holds its head and the whole body its Content-Length announces.
  static bool isComplete(const std::string& answer) {
    const std::size_t headEnd = answer.find("\r\n\r\n");
    const std::size_t length = answer.find("Content-Length: ");
    if (headEnd == std::string::npos || length == std::string::npos) {
      return false;
    }
    return answer.size() - headEnd - 4 >= std::stoul(answer.substr(length + 16));
  }

  QMLessonServer server_;
};

TEST_F(LessonServerTest, EachLessonHasItsOwnPathOnOneKeptAliveConnection) {
  writeLesson("9");
  writeLesson("10");
  const ns::Result<ns::URL> first = server_.playlistURLOf(*record("9"));
  ASSERT_TRUE(first.ok()) << first.error().localizedDescription();
  const std::uint16_t port = server_.server().listeningPort();
  const std::string base =
      "http://127.0.0.1:" + std::to_string(port) + "/" + *record("9")->fileDocment() + "/";
  EXPECT_EQ(first->absoluteString(), base + "index.m3u8");

  server_testing::RawClient client(port);
  const std::string firstAnswer = get(client, *first);
  EXPECT_NE(firstAnswer.find("200 OK"), std::string::npos) << firstAnswer;
  EXPECT_NE(firstAnswer.find("URI=\"" + base + "K.bin\""), std::string::npos) << firstAnswer;
  EXPECT_NE(firstAnswer.find("\nlesson9.ts\n"), std::string::npos) << firstAnswer;

  const ns::Result<ns::URL> second = server_.playlistURLOf(*record("10"));
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(server_.server().listeningPort(), port) << "one server for the screen's life";
  const std::string secondAnswer = get(client, *second);
  EXPECT_NE(secondAnswer.find("\nlesson10.ts\n"), std::string::npos)
      << "the kept-alive connection serves the new lesson:\n"
      << secondAnswer;
  EXPECT_EQ(secondAnswer.find("lesson9"), std::string::npos) << secondAnswer;
}

TEST_F(LessonServerTest, AMissingPlaylistOrFolderIsAnError) {
  EXPECT_FALSE(server_.playlistURLOf(*record("9")).ok()) << "nothing downloaded";
  userId_.reset();
  const ns::Result<ns::URL> noFolder = server_.playlistURLOf(*record("9"));
  ASSERT_FALSE(noFolder.ok());
  EXPECT_EQ(noFolder.error().domain(), kQMLessonServerErrorDomain);
}

TEST_F(LessonServerTest, AServerThatCannotStartIsAnErrorAndStartsOnTheNextPlay) {
  writeLesson("9");
  ASSERT_FALSE(server_.server().isRunning());
  // With no descriptor left the listening socket cannot be made: the lowest free descriptor is the limit.
  const int lowestFree = dup(0);
  ASSERT_GE(lowestFree, 0);
  close(lowestFree);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit none = saved;
  none.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  const ns::Result<ns::URL> refused = server_.playlistURLOf(*record("9"));
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  ASSERT_FALSE(refused.ok()) << "no URL with port 0: " << refused->absoluteString();

  const ns::Result<ns::URL> played = server_.playlistURLOf(*record("9"));
  ASSERT_TRUE(played.ok());
  EXPECT_NE(server_.server().listeningPort(), 0);
}

}  // namespace
}  // namespace learning
