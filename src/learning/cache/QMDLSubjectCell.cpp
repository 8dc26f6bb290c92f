#include "learning/cache/QMDLSubjectCell.h"

#include "learning/cache/QMDLCountCaptions.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

constexpr double kInset = 15;
constexpr double kIconSide = 40;
constexpr double kRowHeight = 70;

}  // namespace

QMDLSubjectCell::QMDLSubjectCell()
    : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, kReuseIdentifier),
      subjectImageView_(uikit::outlet(
          "subjectImageView", std::make_shared<uikit::ImageView>(
                                  uikit::Rect(kInset, (kRowHeight - kIconSide) / 2, kIconSide, kIconSide)))),
      subjectNameLabel_(uikit::outlet("subjectNameLabel", std::make_shared<uikit::Label>(uikit::Rect(
                                                              2 * kInset + kIconSide, 0, 140, kRowHeight)))),
      cachingLabel_(uikit::outlet("cachingLabel", std::make_shared<uikit::Label>())),
      cachedLabel_(uikit::outlet("cachedLabel", std::make_shared<uikit::Label>())) {
  setFrame(uikit::Rect(0, 0, 375, kRowHeight));
  subjectNameLabel_->setTextColor(uikit::Color::white(1));
  contentView().addSubview(subjectImageView_);
  contentView().addSubview(subjectNameLabel_);
  dlcounts::addCountLabels(contentView(), cachingLabel_, cachedLabel_);
}

}  // namespace learning
