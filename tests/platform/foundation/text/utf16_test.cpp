#include "platform/foundation/text/Utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace ns {
namespace {

const std::string kGrinningFace = "\U0001F600";  // outside the BMP: a surrogate pair
const std::string kFullwidthA = "\uFF21";        // inside the BMP, above the surrogates

TEST(Utf16Test, LengthCountsCodeUnitsNotBytesOrCharacters) {
  EXPECT_EQ(utf16Length(""), 0u);
  EXPECT_EQ(utf16Length("a" + kGrinningFace + "中"), 4u);
  EXPECT_EQ(utf16Length("a\xFF\xE4\xB8"), 4u);  // each ill-formed byte counts once
}

// A surrogate pair the cut would split goes whole: 49 + 2 units leave 49.
TEST(Utf16Test, FiftyUnitCutKeepsSurrogatePairsWholeOrDropsThem) {
  std::string fiftyIdeographs;
  for (int count = 0; count < 50; ++count) {
    fiftyIdeographs += "考";
  }
  EXPECT_EQ(utf16Prefix(fiftyIdeographs, 50), fiftyIdeographs);
  EXPECT_EQ(utf16Prefix(fiftyIdeographs + "研", 50), fiftyIdeographs);
  const std::string fitting = std::string(48, 'a') + kGrinningFace;
  EXPECT_EQ(utf16Prefix(fitting + "b", 50), fitting);
  EXPECT_EQ(utf16Prefix(std::string(49, 'a') + kGrinningFace + "tail", 50), std::string(49, 'a'));
}

// In UTF-8 bytes U+FF21 comes before U+1F600; in UTF-16 units (D83D DE00 against FF21) it comes after.
TEST(Utf16Test, CompareOrdersByCodeUnitsCaseSensitivelyShorterFirst) {
  EXPECT_EQ(utf16Compare("Z", "a"), std::weak_ordering::less);
  EXPECT_EQ(utf16Compare("app_id", "app"), std::weak_ordering::greater);
  EXPECT_EQ(utf16Compare("sign", "sign"), std::weak_ordering::equivalent);
  ASSERT_LT(kFullwidthA, kGrinningFace);
  EXPECT_EQ(utf16Compare(kGrinningFace, kFullwidthA), std::weak_ordering::less);
  EXPECT_EQ(utf16Compare("中", kGrinningFace), std::weak_ordering::less);
}

TEST(Utf16Test, LessSortsKeysAndServesAsAMapOrder) {
  std::vector<std::string> keys{"videoId", kFullwidthA, "sid", kGrinningFace, "Zone", "app_id"};
  std::sort(keys.begin(), keys.end(), Utf16Less());
  EXPECT_EQ(keys, (std::vector<std::string>{"Zone", "app_id", "sid", "videoId", kGrinningFace, kFullwidthA}));
  const std::map<std::string, int, Utf16Less> parameters{{kFullwidthA, 1}, {kGrinningFace, 2}};
  EXPECT_EQ(parameters.find(std::string_view(kFullwidthA))->second, 1);
}

}  // namespace
}  // namespace ns
