#include "learning/subject/QMPullSelectCell.h"

#include "platform/uikit/drawing/Color.h"
#include "platform/uikit/drawing/Font.h"

namespace learning {

QMPullSelectCell::QMPullSelectCell(uikit::Rect frame) : uikit::View(frame) {
  const double width = frame.width();
  const double height = frame.height();
  cellTitleLabel_ = std::make_shared<uikit::Label>(uikit::Rect(0, 0, width, height));
  cellTitleLabel_->setBackgroundColor(uikit::Color::clear());
  cellTitleLabel_->setFont(uikit::Font::systemFontOfSize(kTitleFontSize));
  cellTitleLabel_->setTextColor(uikit::Color::hsba(0.506, 0.302, 0.702));
  addSubview(cellTitleLabel_);
  selectedImageView_ = std::make_shared<uikit::ImageView>(
      uikit::Rect(width - kSelectedImageWidth, 0, kSelectedImageWidth, height));
  addSubview(selectedImageView_);
}

}  // namespace learning
