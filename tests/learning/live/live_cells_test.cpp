// The live cells: the status tags in their texts and colours, the group's picture loaded from the back end,
// and reused cells that keep nothing of the model they showed before.

#include <gtest/gtest.h>

#include "learning/live/QMLiveCell.h"
#include "learning/live/QMLiveGroupCell.h"
#include "learning/live/QMLiveStatusLabel.h"
#include "learning/live/live_test_util.h"

namespace learning::livetest {
namespace {

std::shared_ptr<app::QMLiveModel> lesson(ns::Dictionary fields) {
  return app::QMLiveModel::initWithServerData(ns::Value(std::move(fields)));
}

std::shared_ptr<app::QMLiveGroupModel> groupWith(ns::Dictionary fields) {
  return app::QMLiveGroupModel::initWithServerData(ns::Value(std::move(fields)));
}

struct Tag {
  std::string text;
  std::optional<uikit::Color> color;
};

Tag tagOf(const uikit::Label& label) {
  EXPECT_EQ(label.layer().cornerRadius(), 5.0);
  EXPECT_EQ(label.layer().borderWidth(), 1.0);
  if (label.layer().borderColor()) {
    EXPECT_EQ(*label.layer().borderColor(), label.textColor()) << "text and border share the colour";
  }
  return {label.text(), label.layer().borderColor()};
}

const uikit::Color kGrey = uikit::Color::rgba(0.753, 0.784, 0.808);
const uikit::Color kBlueGreen = uikit::Color::rgba(0.447, 0.816, 0.835);

TEST(QMLiveCellTest, EachLessonStatusHasItsTagAndMissingTextsShowEmpty) {
  struct Case {
    ns::Dictionary fields;
    std::string text;
    uikit::Color color;
  };
  const std::vector<Case> cases = {
      {{{"status", ns::Value(-1)}, {"canReplay", ns::Value(true)}}, "  观看回放  ", kBlueGreen},
      {{{"status", ns::Value(-1)}, {"canReplay", ns::Value(false)}}, "  已结束  ", kGrey},
      {{{"status", ns::Value(0)}}, "  未开始  ", kGrey},
      {{{"status", ns::Value(1)}}, "  正在直播  ", kBlueGreen},
      {{{"status", ns::Value(2)}}, "  观看回放  ", kBlueGreen},
  };
  for (const Case& each : cases) {
    QMLiveCell cell(uikit::TableViewCellStyle::kDefault, QMLiveCell::kReuseIdentifier);
    cell.setLiveModel(lesson(each.fields));
    const Tag tag = tagOf(cell.statusLabel());
    EXPECT_EQ(tag.text, each.text);
    EXPECT_EQ(tag.color, each.color) << each.text;
  }

  // A lesson without a teacher or a time shows them empty.
  QMLiveCell cell(uikit::TableViewCellStyle::kDefault, QMLiveCell::kReuseIdentifier);
  cell.setLiveModel(lesson({{"status", ns::Value(1)}}));
  EXPECT_EQ(cell.teacherLabel().text(), "讲师：");
  EXPECT_EQ(cell.timeLabel().text(), "");
}

TEST(QMLiveGroupCellTest, EachGroupStatusHasItsTagAndTheGroupItsLines) {
  QMLiveGroupCell cell(uikit::TableViewCellStyle::kDefault, QMLiveGroupCell::kReuseIdentifier);
  cell.setGroupModel(groupWith({{"status", ns::Value(0)},
                                {"beginTime", ns::Value("2016-10-08")},
                                {"groupName", ns::Value("英语写作专题直播")},
                                {"teacherName", ns::Value("王思远")},
                                {"currNum", ns::Value(0)},
                                {"totalNum", ns::Value(2)}}));
  Tag tag = tagOf(cell.liveStatusLabel());
  EXPECT_EQ(tag.text, " 2016-10-08 ");
  EXPECT_EQ(tag.color, kBlueGreen);
  EXPECT_EQ(cell.liveTitleLabel().text(), "英语写作专题直播");
  EXPECT_EQ(cell.liveTeacherLabel().text(), "讲师：王思远");
  EXPECT_EQ(cell.liveNumberLabel().text(), "0/2次");

  cell.setGroupModel(groupWith({{"status", ns::Value(1)}}));
  tag = tagOf(cell.liveStatusLabel());
  EXPECT_EQ(tag.text, "  正在直播  ");
  EXPECT_EQ(tag.color, kBlueGreen);
  cell.setGroupModel(groupWith({{"status", ns::Value(-1)}}));
  tag = tagOf(cell.liveStatusLabel());
  EXPECT_EQ(tag.text, "  已结束  ");
  EXPECT_EQ(tag.color, kGrey);
  // Any other status leaves the tag as it is.
  cell.setGroupModel(groupWith({{"status", ns::Value(2)}}));
  EXPECT_EQ(tagOf(cell.liveStatusLabel()).text, "  已结束  ");

  QMLiveGroupCell fresh(uikit::TableViewCellStyle::kDefault, QMLiveGroupCell::kReuseIdentifier);
  fresh.setGroupModel(groupWith({{"status", ns::Value(2)}}));
  EXPECT_EQ(tagOf(fresh.liveStatusLabel()).text, "");
}

// Lists whatever lessons it is given, in a table that reuses its cells.
class LessonList : public uikit::TableViewDataSource {
 public:
  std::int64_t numberOfRowsInSection(uikit::TableView&, std::int64_t) override {
    return static_cast<std::int64_t>(lessons.size());
  }
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& table,
                                                              const uikit::IndexPath& indexPath) override {
    auto cell = std::dynamic_pointer_cast<QMLiveCell>(table.dequeueReusableCellWithIdentifier("QMLiveCell"));
    if (!cell) {
      cell = std::make_shared<QMLiveCell>(uikit::TableViewCellStyle::kDefault, "QMLiveCell");
    }
    cell->setLiveModel(lessons.at(static_cast<std::size_t>(indexPath.row)));
    return cell;
  }
  std::vector<std::shared_ptr<app::QMLiveModel>> lessons;
};

TEST(QMLiveCellTest, AReusedCellShowsNoTagOfTheLessonItShowedBefore) {
  auto list = std::make_shared<LessonList>();
  list->lessons = {lesson({{"status", ns::Value(1)}})};
  uikit::TableView table(uikit::Rect(0, 0, 320, 480));
  table.setDataSource(list);
  const std::shared_ptr<uikit::TableViewCell> first = table.cellForRowAtIndexPath({0, 0});
  EXPECT_EQ(std::dynamic_pointer_cast<QMLiveCell>(first)->statusLabel().text(), "  正在直播  ");

  // A status the application does not know leaves the tag alone: on the reused cell it is empty.
  list->lessons = {lesson({{"status", ns::Value(7)}})};
  table.reloadData();
  const auto reused = std::dynamic_pointer_cast<QMLiveCell>(table.cellForRowAtIndexPath({0, 0}));
  ASSERT_EQ(reused, first);
  EXPECT_EQ(reused->statusLabel().text(), "");
  EXPECT_EQ(reused->statusLabel().layer().borderColor(), std::nullopt);
}

class QMLiveGroupCellPictureTest : public LiveScreenTest {};

TEST_F(QMLiveGroupCellPictureTest, ShowsTheGroupsPictureFromTheBackEndAndAReusedCellForgetsIt) {
  auto cell = std::make_shared<QMLiveGroupCell>(uikit::TableViewCellStyle::kDefault,
                                                QMLiveGroupCell::kReuseIdentifier);
  cell->setGroupModel(group("9001"));
  EXPECT_EQ(cell->liveImageView().image(), nullptr) << "no placeholder";
  ASSERT_TRUE(runUntil([&] { return cell->liveImageView().image() != nullptr; }));
  EXPECT_EQ(cell->liveImageView().image()->pixelWidth(), 240) << "the sample picture, decoded";

  // Reused for a group whose picture is not there, the cell shows none, not the former group's.
  cell->prepareForReuse();
  cell->setGroupModel(
      groupWith({{"status", ns::Value(1)}, {"pic", ns::Value("http://127.0.0.1:1/none.png")}}));
  EXPECT_EQ(cell->liveImageView().image(), nullptr);
  EXPECT_EQ(tagOf(cell->liveStatusLabel()).text, "  正在直播  ");
}

}  // namespace
}  // namespace learning::livetest
