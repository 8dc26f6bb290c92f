#include "platform/uikit/tables/TableViewCell.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace uikit {
TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect(0, 0, 320, 44)),
      style_(style),
      reuseIdentifier_(std::move(reuseIdentifier)),
      contentView_(std::make_shared<View>(Rect(0, 0, 320, 44))),
      textLabel_(std::make_shared<Label>()),
      imageView_(std::make_shared<ImageView>()) {
  // The parts are added here, while no shared_ptr holds the cell yet; that is safe because adding a subview
  // only needs the subview's own shared_ptr.
  contentView_->addSubview(imageView_);
  contentView_->addSubview(textLabel_);
  if (style != TableViewCellStyle::kDefault) {
    detailTextLabel_ = std::make_shared<Label>();
    contentView_->addSubview(detailTextLabel_);
  }
  addSubview(contentView_);
}

void TableViewCell::setSelected(bool selected, bool) {
  QM_DCHECK_MAIN_THREAD();
  selected_ = selected;
}

void TableViewCell::layoutSubviews() {
  contentView_->setFrame(bounds());
  const double height = bounds().height();
  const Size imageSize = imageView_->image() ? imageView_->image()->size() : Size{};
  imageView_->setFrame(Rect(15, (height - imageSize.height) / 2, imageSize.width, imageSize.height));
  const double textX = imageSize.width > 0 ? imageView_->frame().maxX() + 15 : 15;
  const double textWidth = std::max(0.0, bounds().width() - textX - 15);
  if (detailTextLabel_ && style_ == TableViewCellStyle::kSubtitle) {
    textLabel_->setFrame(Rect(textX, 0, textWidth, height / 2));
    detailTextLabel_->setFrame(Rect(textX, height / 2, textWidth, height / 2));
  } else if (detailTextLabel_) {
    textLabel_->setFrame(Rect(textX, 0, textWidth / 2, height));
    detailTextLabel_->setFrame(Rect(textX + textWidth / 2, 0, textWidth / 2, height));
  } else {
    textLabel_->setFrame(Rect(textX, 0, textWidth, height));
  }
}

}  // namespace uikit
