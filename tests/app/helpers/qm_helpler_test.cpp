#include <gtest/gtest.h>

#include "app/helpers/QMHelpler.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/bundle_test_util.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace {

TEST(QMHelplerTest, ColoursFromSixHexDigitsInAnyOfTheirSpellings) {
  const uikit::Color red = uikit::Color::rgba(1, 0, 0, 1);
  EXPECT_EQ(QMHelpler::colorWithHexString("FF0000"), red);
  EXPECT_EQ(QMHelpler::colorWithHexString("#ff0000"), red);
  EXPECT_EQ(QMHelpler::colorWithHexString("0xFF0000"), red);
  EXPECT_EQ(QMHelpler::colorWithHexString("0XFF0000"), red);
  EXPECT_EQ(QMHelpler::colorWithHexString("  FF0000\n"), red);
  EXPECT_EQ(QMHelpler::colorWithHexString("00CAD0"), uikit::Color::rgba(0, 202 / 255.0, 208 / 255.0, 1));

  EXPECT_EQ(QMHelpler::colorWithHexString("FFF"), uikit::Color::clear());
  EXPECT_EQ(QMHelpler::colorWithHexString("FFFFF"), uikit::Color::clear());
  EXPECT_EQ(QMHelpler::colorWithHexString("#FF00000"), uikit::Color::clear());
  EXPECT_EQ(QMHelpler::colorWithHexString("GG0000"), uikit::Color::rgba(0, 0, 0, 1));
}

TEST(QMHelplerTest, RegionTextFromTheBundledList) {
  EXPECT_EQ(QMHelpler::userAddressString("1,108"), "北京市 海淀区");
  EXPECT_EQ(QMHelpler::userAddressString("19,0,1903"), "广东省 深圳市");
  EXPECT_EQ(QMHelpler::userAddressString("019,1903"), "广东省 深圳市");
  EXPECT_EQ(QMHelpler::userAddressString("1,1903"), std::nullopt);
  EXPECT_EQ(QMHelpler::userAddressString("99,1"), std::nullopt);
  EXPECT_EQ(QMHelpler::userAddressString(""), std::nullopt);
}

TEST(QMHelplerTest, NoRegionTextWithoutTheList) {
  ns::testutil::TemporarySandbox sandbox;
  const std::string resources = sandbox.path("EmptyBundle");
  ns::testutil::createBundleFolder(resources, {});
  ns::testutil::ScopedMainBundle bundle(resources);
  EXPECT_EQ(QMHelpler::userAddressString("1,108"), std::nullopt);
}

}  // namespace
