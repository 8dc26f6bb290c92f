#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "main/terminal/ConsoleLogFile.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace terminal {

namespace {

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Three files' worth of lines: the first file is dropped, and the two kept hold whole lines in order.
TEST(ConsoleLogFileTest, KeepsTheLatestLinesWholeInTwoFilesOfBoundedSize) {
  const ns::testutil::TemporarySandbox sandbox;
  const std::string path = sandbox.path("console.log");
  const std::string filler(999, '.');
  const int written = static_cast<int>(3 * ConsoleLogFile::kRotationSize / 1024);
  {
    ConsoleLogFile console(path, false);
    for (int i = 0; i < written; ++i) {
      console.write(std::to_string(100000 + i) + filler);
    }
  }
  const std::vector<std::string> earlier = linesOf(path + ".1");
  const std::vector<std::string> latest = linesOf(path);
  ASSERT_FALSE(earlier.empty());
  ASSERT_FALSE(latest.empty());
  for (const std::string& file : {path, path + ".1"}) {
    EXPECT_LE(std::filesystem::file_size(file), ConsoleLogFile::kRotationSize) << file;
  }
  std::vector<std::string> kept = earlier;
  kept.insert(kept.end(), latest.begin(), latest.end());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(kept[i], std::to_string(100000 + written - kept.size() + i) + filler) << i;
  }
}

}  // namespace

}  // namespace terminal
