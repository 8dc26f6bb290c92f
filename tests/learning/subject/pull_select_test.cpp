// The pull-down selection row's layout, and the selection view that keeps no titles.

#include <gtest/gtest.h>

#include <memory>

#include "learning/subject/QMPullSelectCell.h"
#include "learning/subject/QMPullSelectView.h"
#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/drawing/Font.h"

namespace learning {
namespace {

TEST(PullSelectTest, ARowLaysItsTitleOverItselfAndItsMarkAtTheRightEdge) {
  const QMPullSelectCell cell(uikit::Rect(10, 20, 200, 44));
  ASSERT_EQ(cell.subviews().size(), 2u);

  const uikit::Label& title = *cell.cellTitleLabel();
  EXPECT_EQ(title.frame(), uikit::Rect(0, 0, 200, 44));
  EXPECT_EQ(title.backgroundColor(), uikit::Color::clear());
  EXPECT_EQ(title.font(), uikit::Font::systemFontOfSize(15));
  EXPECT_EQ(title.textColor(), uikit::Color::hsba(0.506, 0.302, 0.702, 1));

  EXPECT_EQ(cell.selectedImageView()->frame(), uikit::Rect(170, 0, 30, 44));
  EXPECT_EQ(cell.subviews().back(), cell.selectedImageView()) << "the mark lies over the title";
}

TEST(PullSelectTest, TheSelectionViewKeepsNoRowTitles) {
  QMPullSelectView view(uikit::Rect(0, 0, 320, 200));
  view.setRowTitleArray({"2017考研", "2018考研"});
  EXPECT_TRUE(view.rowTitleArray().empty());
}

}  // namespace
}  // namespace learning
