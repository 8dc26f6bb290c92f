#include <chrono>
#include <filesystem>

#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/uikit_test_util.h"
#include "platform/uikit/views/Label.h"
#include "ui/refresh/RefreshNormalHeader.h"
#include "ui/refresh/ScrollViewRefresh.h"

namespace ui {
namespace {

using namespace std::chrono_literals;

// A table with a refresh header in a screen that is not shown yet; the defaults live in a fresh home.
class RefreshHeaderTest : public uikit::testing::UikitTest {
 protected:
  void SetUp() override {
    UikitTest::SetUp();
    std::filesystem::remove_all(home_);
    ns::Sandbox::setHomeDirectory(home_.string());
    ns::UserDefaults::resetStandardUserDefaultsForTesting();
    liveTable_->setAccessibilityIdentifier("liveTable");
    screen_->view()->addSubview(liveTable_);
    setRf_header(*liveTable_, header_);
  }
  void TearDown() override {
    ns::Sandbox::setHomeDirectory(std::nullopt);
    ns::UserDefaults::resetStandardUserDefaultsForTesting();
    std::filesystem::remove_all(home_);
    UikitTest::TearDown();
  }

  std::filesystem::path home_ =
      std::filesystem::temp_directory_path() /
      ("refresh_header_test_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  std::shared_ptr<uikit::ViewController> screen_ = std::make_shared<uikit::ViewController>();
  std::shared_ptr<uikit::TableView> liveTable_ =
      std::make_shared<uikit::TableView>(uikit::Rect(0, 100, 375, 500));
  std::shared_ptr<RefreshNormalHeader> header_ =
      RefreshNormalHeader::headerWithRefreshingBlock([this] { ++refreshes_; });
  int refreshes_ = 0;
};

TEST_F(RefreshHeaderTest, TheHeaderBecomesTheFirstSubviewAndReplacesAnEarlierOne) {
  auto table = std::make_shared<uikit::TableView>();
  EXPECT_EQ(rf_header(*table), nullptr);
  table->addSubview(std::make_shared<uikit::View>());
  auto earlier = RefreshNormalHeader::headerWithRefreshingBlock({});
  setRf_header(*table, earlier);
  setRf_header(*table, header_);
  EXPECT_EQ(rf_header(*table), header_);
  EXPECT_EQ(table->subviews().front(), header_);
  EXPECT_EQ(earlier->superview(), nullptr);
  EXPECT_EQ(table->subviews().size(), 2u);
}

TEST_F(RefreshHeaderTest, OnScreenARefreshBeginsAtOnceAndRunsTheBlockOnceFadedIn) {
  showWindowWithRoot(screen_);
  header_->beginRefreshing();
  EXPECT_EQ(header_->state(), RefreshState::kRefreshing);
  EXPECT_EQ(liveTable_->contentInset().top, RefreshHeader::kHeight);
  EXPECT_EQ(uikit::Driver::screenText(), "[ViewController]\nprogress: refreshing\ntable liveTable:\n");
  clock_.advance(249ms);
  EXPECT_EQ(refreshes_, 0);
  clock_.advance(1ms);
  EXPECT_EQ(refreshes_, 1);

  EXPECT_FALSE(header_->lastUpdatedTime().has_value());
  header_->endRefreshing();
  EXPECT_FALSE(header_->isRefreshing());
  EXPECT_EQ(liveTable_->contentInset().top, 0);
  EXPECT_TRUE(header_->lastUpdatedTime().has_value());
}

TEST_F(RefreshHeaderTest, APullPastTheHeadersHeightRefreshesOnceTheFingerLetsGo) {
  showWindowWithRoot(screen_);
  liveTable_->setContentOffset(uikit::Point{0, -(RefreshHeader::kHeight - 1)});
  EXPECT_EQ(header_->state(), RefreshState::kIdle) << "scrolled, not dragged";
  liveTable_->pullDown(RefreshHeader::kHeight - 1);
  EXPECT_EQ(header_->state(), RefreshState::kIdle) << "a pull short of the header";
  EXPECT_EQ(liveTable_->contentOffset().y, 0) << "the content goes back";

  ASSERT_TRUE(uikit::Driver::pullDown("liveTable").ok());
  EXPECT_EQ(header_->state(), RefreshState::kRefreshing);
  EXPECT_EQ(liveTable_->contentOffset().y, -RefreshHeader::kHeight) << "the header stays in sight";
  clock_.advance(250ms);
  EXPECT_EQ(refreshes_, 1);
  ASSERT_TRUE(uikit::Driver::pullDown("liveTable").ok());
  clock_.advance(250ms);
  EXPECT_EQ(refreshes_, 1) << "no second refresh while one runs";

  header_->endRefreshing();
  setRf_header(*liveTable_, nullptr);
  ASSERT_TRUE(uikit::Driver::pullDown("liveTable").ok());
  EXPECT_EQ(header_->state(), RefreshState::kIdle) << "a removed header no longer follows the table";
}

TEST_F(RefreshHeaderTest, OnlyWhatScrollsCanBePulled) {
  showWindowWithRoot(screen_);
  auto label = std::make_shared<uikit::Label>(uikit::Rect(0, 0, 100, 20));
  label->setText("标题");
  screen_->view()->addSubview(label);
  EXPECT_EQ(uikit::Driver::pullDown("标题").error().code(), uikit::Driver::kNotScrollable);
  liveTable_->setScrollEnabled(false);
  EXPECT_EQ(uikit::Driver::pullDown("liveTable").error().code(), uikit::Driver::kNotScrollable);
  EXPECT_EQ(header_->state(), RefreshState::kIdle);
}

TEST_F(RefreshHeaderTest, OffScreenARefreshWaitsUntilTheHeaderIsDrawn) {
  header_->beginRefreshing();
  EXPECT_EQ(header_->state(), RefreshState::kWillRefresh);
  EXPECT_TRUE(header_->isRefreshing());
  clock_.advance(1s);
  EXPECT_EQ(refreshes_, 0);

  showWindowWithRoot(screen_)->updateIfNeeded();
  EXPECT_EQ(header_->state(), RefreshState::kRefreshing);
  clock_.advance(250ms);
  EXPECT_EQ(refreshes_, 1);
}

TEST_F(RefreshHeaderTest, ARefreshEndedBeforeItsBlockRanNeverRunsIt) {
  showWindowWithRoot(screen_);
  header_->beginRefreshing();
  header_->endRefreshing();
  clock_.advance(1s);
  EXPECT_EQ(refreshes_, 0);
}

}  // namespace
}  // namespace ui
