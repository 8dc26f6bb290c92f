#include <gtest/gtest.h>

#include "app/helpers/QMHelpler.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/bundle_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace app {

namespace {

TEST(QMHelplerTest, ColoursFromSixHexDigitsInAnyOfTheirSpellings) {
  const uikit::Color red = uikit::Color::rgba(1, 0, 0, 1);
  for (const char* spelling : {"FF0000", "#ff0000", "0xFF0000", "0XFF0000", "  FF0000\n"}) {
    EXPECT_EQ(QMHelpler::colorWithHexString(spelling), red) << spelling;
  }
  EXPECT_EQ(QMHelpler::colorWithHexString("00CAD0"), uikit::Color::rgba(0, 202 / 255.0, 208 / 255.0, 1));
  for (const char* wrongLength : {"FFF", "FFFFF", "#FF00000"}) {
    EXPECT_EQ(QMHelpler::colorWithHexString(wrongLength), uikit::Color::clear()) << wrongLength;
  }
  EXPECT_EQ(QMHelpler::colorWithHexString("GG0000"), uikit::Color::rgba(0, 0, 0, 1));
}

TEST(QMHelplerTest, RegionTextFromTheBundledList) {
  EXPECT_EQ(QMHelpler::userAddressString("1,108"), "北京市 海淀区");
  EXPECT_EQ(QMHelpler::userAddressString("19,0,1903"), "广东省 深圳市");
  EXPECT_EQ(QMHelpler::userAddressString("019,1903"), "广东省 深圳市");
  for (const char* unknown : {"1,1903", "99,1", ""}) {
    EXPECT_EQ(QMHelpler::userAddressString(unknown), std::nullopt) << unknown;
  }
}

TEST(QMHelplerTest, NoRegionTextWithoutTheList) {
  ns::testutil::TemporarySandbox sandbox;
  const std::string resources = sandbox.path("EmptyBundle");
  ns::testutil::createBundleFolder(resources, {});
  ns::testutil::ScopedMainBundle bundle(resources);
  EXPECT_EQ(QMHelpler::userAddressString("1,108"), std::nullopt);
}

}  // namespace

}  // namespace app
