#include <gtest/gtest.h>

#include "embedded_server/http/HTTPDocumentRoot.h"
#include "http_test_util.h"

namespace embedded_server {

namespace {

namespace fs = std::filesystem;
using server_testing::TemporaryFolder;

class HTTPDocumentRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.write("lesson/index.m3u8", "#EXTM3U\n");
    folder_.write("lesson/segment 1.ts", "segment");
    folder_.write("lesson/K.bin", "key");
    folder_.write("secret.txt", "not for the player");
    lesson_ = fs::canonical(folder_.path() / "lesson");
  }

  std::optional<fs::path> resolve(std::string_view target) const {
    return HTTPDocumentRoot(lesson_.string()).fileForTarget(target);
  }

  TemporaryFolder folder_;
  fs::path lesson_;
};

TEST_F(HTTPDocumentRootTest, FindsFilesByTheirDecodedPath) {
  EXPECT_EQ(resolve("/index.m3u8"), lesson_ / "index.m3u8");
  EXPECT_EQ(resolve("/segment%201.ts?sign=abc#t=1"), lesson_ / "segment 1.ts");
  EXPECT_EQ(resolve("//./K.bin"), lesson_ / "K.bin");
  EXPECT_EQ(resolve("/missing.ts"), std::nullopt);
  EXPECT_EQ(resolve("index.m3u8"), std::nullopt);
  EXPECT_EQ(HTTPDocumentRoot("").fileForTarget("/index.m3u8"), std::nullopt);
}

TEST_F(HTTPDocumentRootTest, NeverLeavesTheFolder) {
  for (const char* target : {"/../secret.txt", "/%2e%2e/secret.txt", "/%2E%2E%2Fsecret.txt",
                             "/a/../../secret.txt", "/..%2fsecret.txt", "/index.m3u8%00.ts", "/%zz", "/%2"}) {
    EXPECT_EQ(resolve(target), std::nullopt) << target;
  }
}

TEST_F(HTTPDocumentRootTest, FollowsSymbolicLinksOnlyWhileTheyStayInside) {
  fs::create_symlink(folder_.path() / "secret.txt", lesson_ / "leak.ts");
  fs::create_directory_symlink(folder_.path(), lesson_ / "up");
  fs::create_symlink(lesson_ / "K.bin", lesson_ / "key-link.bin");
  EXPECT_EQ(resolve("/leak.ts"), std::nullopt);
  EXPECT_EQ(resolve("/up/secret.txt"), std::nullopt);
  EXPECT_EQ(resolve("/key-link.bin"), lesson_ / "K.bin");
}

TEST_F(HTTPDocumentRootTest, ServesAFoldersIndexPage) {
  EXPECT_EQ(resolve("/"), std::nullopt);
  folder_.write("lesson/index.htm", "htm");
  EXPECT_EQ(resolve("/"), lesson_ / "index.htm");
  folder_.write("lesson/index.html", "html");
  EXPECT_EQ(resolve("/"), lesson_ / "index.html");
  folder_.write("lesson/sub/index.html", "sub");
  EXPECT_EQ(resolve("/sub"), lesson_ / "sub" / "index.html");
  fs::create_symlink(folder_.path() / "secret.txt", lesson_ / "sub" / "index.htm");
  fs::remove(lesson_ / "sub" / "index.html");
  EXPECT_EQ(resolve("/sub/"), std::nullopt);
}

}  // namespace

}  // namespace embedded_server
