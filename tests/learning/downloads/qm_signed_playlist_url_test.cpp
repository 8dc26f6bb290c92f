#include "app/network/QMNetworkHelper.h"
#include "learning/downloads/QMSignedPlaylistURL.h"
#include "learning/downloads/download_test_util.h"
#include "platform/net/URL.h"
#include "platform/uikit/app/Device.h"
#include "sample_backend/api/FormBody.h"

namespace learning {

namespace {

class QMSignedPlaylistURLTest : public ::testing::Test {
 protected:
  ~QMSignedPlaylistURLTest() override {
    uikit::Device::currentDevice().setSystemVersion(uikit::Device::kDefaultSystemVersion);
  }
  downloadtest::DownloadRoad road_;
};

// Values holding "&", "=", "," or a space travel escaped, as signed; online play says so.
TEST_F(QMSignedPlaylistURLTest, EscapesEveryValueAndSignsTheRawOnes) {
  uikit::Device::currentDevice().setSystemVersion("9.3 beta&x=1");
  const std::string text = QMSignedPlaylistURL::m3u8VideoURLWithServerTime(
      *road_.lesson(0), 1700000000.0, QMSignedPlaylistURL::Use::kDownload);
  const std::optional<ns::URL> url = ns::URL::fromString(text);
  ASSERT_TRUE(url.has_value()) << text;
  EXPECT_EQ(url->path(), "/class/video/get/m3u8/v2");
  EXPECT_EQ(*url->host() + ":" + std::to_string(*url->port()), road_.webHost());
  auto query = sample_backend::api::decodeFormBody(*url->query());
  EXPECT_EQ(query["os_type"], "ios_phone_9.3 beta&x=1");
  EXPECT_EQ(query["bizKeys"], "userId,courseId,nodeId,videoId,isFree,isRecommend");
  EXPECT_EQ(query["time"], "1700000000");
  EXPECT_EQ(query["videoId"], "v1");
  EXPECT_EQ(query["nodeId"], "L1");
  EXPECT_EQ(query["isFree"], "0");
  EXPECT_EQ(query["online"], "false");
  EXPECT_EQ(query["app_id"], "83");
  const std::string sign = query["sign"];
  query.erase("sign");
  ns::Dictionary unsignedValues;
  for (const auto& [key, value] : query) {
    unsignedValues[key] = value;
  }
  EXPECT_EQ(app::QMNetworkHelper::networkSignParam(unsignedValues), sign);
  EXPECT_EQ(query.size(), 23u);
  auto online = sample_backend::api::decodeFormBody(
      *ns::URL::fromString(QMSignedPlaylistURL::m3u8VideoURLWithServerTime(
                               *road_.lesson(1), 1700000000.5, QMSignedPlaylistURL::Use::kOnlinePlay))
           ->query());
  EXPECT_EQ(online["online"], "true");
  EXPECT_EQ(online["time"], "1700000000.5");
  EXPECT_EQ(online["videoId"], "v2");
  // The back end agrees: the lesson downloads with that system version.
  QMDownloadHelper::sharedInstance()->add(road_.lesson(0));
  ASSERT_TRUE(road_.runUntilStatus(0, app::kQMDownloadDone));
}

}  // namespace

}  // namespace learning
