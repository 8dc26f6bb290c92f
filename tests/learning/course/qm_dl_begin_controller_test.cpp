#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/helpers/QMHelpler.h"
#include "learning/course/QMDownloadCell.h"
#include "learning/course/picker_test_util.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning::pickertest {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;
constexpr auto kMiddle = uikit::Driver::PanStart::kMiddle;

class QMDLBeginControllerTest : public ::testing::Test {
 protected:
  // The row showing `name`, after a finger scrolled the tree from its top until it shows; nullptr for none.
  std::shared_ptr<QMDownloadCell> showRow(const std::string& name) {
    uikit::TableView& tree = *picker_->myTreeView();
    EXPECT_TRUE(uikit::Driver::pan("myTreeView", {0, tree.contentSize().height}, kMiddle).ok());
    for (double before = -1; before != tree.contentOffset().y;) {
      for (const auto& cell : tree.visibleCells()) {
        const auto row = std::static_pointer_cast<QMDownloadCell>(cell);
        if (row->nameLabel()->text() == name) {
          return row;
        }
      }
      before = tree.contentOffset().y;
      EXPECT_TRUE(uikit::Driver::pan("myTreeView", {0, -tree.bounds().height() / 2}, kMiddle).ok());
    }
    return nullptr;
  }
  // The check box of the row showing `name`.
  std::string checkBoxOf(const std::string& name) {
    const auto row = showRow(name);
    return row ? row->tagImageView()->image()->name() : "no row " + name;
  }
  ns::Status tapRow(const std::string& name) {
    showRow(name);
    return uikit::Driver::selectRow(name);
  }
  std::vector<std::int64_t> statuses(const std::vector<std::string>& courseIDs) {
    std::vector<std::int64_t> found;
    for (const std::string& courseID : courseIDs) {
      found.push_back(PickerRoad::status(courseID));
    }
    return found;
  }
  bool isQueued(const std::string& courseID) {
    const std::int64_t status = PickerRoad::status(courseID);
    return status != app::kQMDownloadNotQueued && status != app::kQMDownloadPaused;
  }

  PickerRoad road_;
  std::shared_ptr<QMDLBeginController> picker_;
};

TEST_F(QMDLBeginControllerTest, OffersOnlyLessonsNotDownloadedAsAnOpenTreeIndentedByLevel) {
  // Queued, running, paused, failed and done lessons are not offered; a chapter with none left goes too.
  PickerRoad::setStatus("L2", app::kQMDownloadWaiting);
  PickerRoad::setStatus("L3", app::kQMDownloadDone);
  PickerRoad::setStatus("L5", app::kQMDownloadPaused);
  PickerRoad::setStatus("L6", app::kQMDownloadFailed);
  PickerRoad::setStatus("L7", app::kQMDownloadRunning);
  picker_ = road_.presentPicker();

  EXPECT_THAT(uikit::Driver::screenText(), HasSubstr("table myTreeView:\n"
                                                     "  [0] (DL_select_off) 第一章\n"
                                                     "  [1]   (DL_select_off) 第1课\n"
                                                     "  [2] (DL_select_off) 第二章\n"
                                                     "  [3]   (DL_select_off) 第一节\n"
                                                     "  [4]     (DL_select_off) 第4课\n"));
  EXPECT_EQ(picker_->addDLBtn()->layer().cornerRadius(), 15.0);
}

TEST_F(QMDLBeginControllerTest, RowsTakeTheColoursOfTheirLevelAndLessonsJoinUpUnderTheirUnit) {
  picker_ = road_.presentPicker();
  struct Row {
    std::string name;
    std::string background;
    bool shadowShown;
    std::optional<std::string> separator;
  };
  const auto hex = [](const char* text) { return app::QMHelpler::colorWithHexString(text); };
  const std::vector<Row> rows = {
      {"第二章", "#565663", true, std::nullopt}, {"第一节", "#434350", true, std::nullopt},
      {"第4课", "#36343b", true, "#262528"},     {"第5课", "#36343b", false, "clear"},
      {"第6课", "#36343b", true, "clear"},
  };
  for (const Row& expected : rows) {
    SCOPED_TRACE(expected.name);
    const auto cell = showRow(expected.name);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->backgroundColor(), hex(expected.background.c_str()));
    EXPECT_EQ(!cell->shadowImageView()->isHidden(), expected.shadowShown);
    if (expected.separator == "clear") {
      EXPECT_EQ(cell->sepLabel()->backgroundColor(), uikit::Color::clear());
    } else if (expected.separator) {
      EXPECT_EQ(cell->sepLabel()->backgroundColor(), hex(expected.separator->c_str()));
    }
  }
}

TEST_F(QMDLBeginControllerTest, TickingARowCarriesTheTickDownAndUpAndSelectAllFollows) {
  picker_ = road_.presentPicker();
  ASSERT_TRUE(tapRow("第一节").ok());
  EXPECT_EQ(checkBoxOf("第4课"), "DL_select_on");
  EXPECT_EQ(checkBoxOf("第5课"), "DL_select_on");
  EXPECT_EQ(checkBoxOf("第二章"), "DL_select_off") << "第二节 is not ticked";

  ASSERT_TRUE(tapRow("第6课").ok());
  EXPECT_EQ(checkBoxOf("第二节"), "DL_select_on");
  EXPECT_EQ(checkBoxOf("第二章"), "DL_select_on") << "the last unticked lesson completes the chapter";
  EXPECT_EQ(picker_->selectAllBtn()->tag(), 0) << "第一章 and 第三章 are not ticked";

  ASSERT_TRUE(tapRow("第一章").ok());
  ASSERT_TRUE(tapRow("第三章").ok());
  EXPECT_EQ(picker_->selectAllBtn()->tag(), 1);
  EXPECT_EQ(picker_->selectAllBtn()->imageForState(uikit::kControlStateNormal)->name(), "DL_selectAll_on");

  ASSERT_TRUE(tapRow("第5课").ok());
  EXPECT_EQ(checkBoxOf("第一节"), "DL_select_off");
  EXPECT_EQ(checkBoxOf("第二章"), "DL_select_off");
  EXPECT_EQ(checkBoxOf("第4课"), "DL_select_on");
  EXPECT_EQ(picker_->selectAllBtn()->tag(), 0);
  EXPECT_EQ(picker_->selectAllBtn()->imageForState(uikit::kControlStateNormal)->name(), "DL_selectAll_off");
  EXPECT_THAT(uikit::Driver::screenText(), HasSubstr("  [5]   (DL_select_off) 第一节\n"))
      << "rows never fold";
}

TEST_F(QMDLBeginControllerTest, SelectAllTicksAndUnticksEveryRow) {
  picker_ = road_.presentPicker();
  ASSERT_TRUE(uikit::Driver::tap("selectAllBtn").ok());
  for (const char* name : {"第一章", "第1课", "第二节", "第6课", "第三章", "第7课"}) {
    EXPECT_EQ(checkBoxOf(name), "DL_select_on") << name;
  }
  ASSERT_TRUE(uikit::Driver::tap("selectAllBtn").ok());
  for (const char* name : {"第一章", "第1课", "第二节", "第6课", "第三章", "第7课"}) {
    EXPECT_EQ(checkBoxOf(name), "DL_select_off") << name;
  }
  EXPECT_EQ(picker_->selectAllBtn()->tag(), 0);
}

TEST_F(QMDLBeginControllerTest, DownloadQueuesExactlyTheTickedLessonsOnceAndClosesAfterTwoSeconds) {
  picker_ = road_.presentPicker();
  ASSERT_TRUE(tapRow("第一节").ok());
  ASSERT_TRUE(uikit::Driver::tap("addDLBtn").ok());

  EXPECT_TRUE(isQueued("L4"));
  EXPECT_TRUE(isQueued("L5"));
  EXPECT_EQ(statuses({"L1", "L2", "L3", "L6", "L7"}), (std::vector<std::int64_t>(5, 0)));
  EXPECT_EQ(PickerRoad::status("U1"), -1) << "units and chapters are no lessons";
  EXPECT_EQ(PickerRoad::countOnScreen("toast: 请到下载查看进度"), 1);
  // The download manager has already started the first lesson.
  EXPECT_TRUE(downloadtest::DownloadRoad::runUntil([&] { return !road_.road().requests().empty(); }))
      << "no request reached the back end";
  EXPECT_THAT(road_.road().requests().front(), AnyOf("v4 playlist", "v5 playlist"));

  // A second tap while the screen waits to close queues nothing again.
  road_.advance(1000ms);
  PickerRoad::setStatus("L5", app::kQMDownloadFailed);
  EXPECT_TRUE(uikit::Driver::tap("addDLBtn").ok());
  EXPECT_EQ(PickerRoad::status("L5"), app::kQMDownloadFailed);
  EXPECT_EQ(PickerRoad::countOnScreen("toast: 请到下载查看进度"), 1);

  road_.advance(999ms);
  EXPECT_TRUE(road_.pickerShown());
  road_.advance(1ms);
  EXPECT_FALSE(road_.pickerShown());
}

TEST_F(QMDLBeginControllerTest, DownloadWithNothingTickedWarnsAndStays) {
  picker_ = road_.presentPicker();
  ASSERT_TRUE(uikit::Driver::tap("addDLBtn").ok());
  EXPECT_EQ(PickerRoad::countOnScreen("toast: 请选择需要下载的课件"), 1);
  road_.advance(3000ms);
  EXPECT_TRUE(road_.pickerShown());
  EXPECT_EQ(statuses({"L1", "L4", "L7"}), (std::vector<std::int64_t>(3, 0)));
  EXPECT_TRUE(road_.road().requests().empty());
}

TEST_F(QMDLBeginControllerTest, AStageWithNothingLeftShowsNoRowsAndButtonsThatDoNotReact) {
  for (const char* lesson : {"L1", "L2", "L3", "L4", "L5", "L6", "L7"}) {
    PickerRoad::setStatus(lesson, app::kQMDownloadDone);
  }
  picker_ = road_.presentPicker();
  EXPECT_EQ(picker_->myTreeView()->numberOfRowsInSection(0), 0);
  EXPECT_EQ(uikit::Driver::tap("addDLBtn").error().code(), uikit::Driver::kNotTouchable);
  EXPECT_EQ(uikit::Driver::tap("selectAllBtn").error().code(), uikit::Driver::kNotTouchable);
  EXPECT_THAT(uikit::Driver::screenText(), Not(HasSubstr("toast:")));
}

TEST_F(QMDLBeginControllerTest, BackClosesThePicker) {
  picker_ = road_.presentPicker();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  ns::RunLoop::main().runPending();
  EXPECT_FALSE(road_.pickerShown());
}

}  // namespace
}  // namespace learning::pickertest
