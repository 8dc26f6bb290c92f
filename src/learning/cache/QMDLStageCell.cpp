#include "learning/cache/QMDLStageCell.h"

#include "learning/cache/QMDLCountCaptions.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace learning {

namespace {

constexpr double kInset = 15;
constexpr double kRowHeight = 70;

}  // namespace

QMDLStageCell::QMDLStageCell()
    : uikit::TableViewCell(uikit::TableViewCellStyle::kDefault, kReuseIdentifier),
      stageNameLabel_(uikit::outlet("stageNameLabel",
                                    std::make_shared<uikit::Label>(uikit::Rect(kInset, 0, 185, kRowHeight)))),
      cachedLabel_(uikit::outlet("cachedLabel", std::make_shared<uikit::Label>())),
      cachingLabel_(uikit::outlet("cachingLabel", std::make_shared<uikit::Label>())) {
  setFrame(uikit::Rect(0, 0, 375, kRowHeight));
  stageNameLabel_->setTextColor(uikit::Color::white(1));
  contentView().addSubview(stageNameLabel_);
  dlcounts::addCountLabels(contentView(), cachingLabel_, cachedLabel_);
}

}  // namespace learning
