#include "learning/player/controls/ZBPlayerSlider.h"

#include <algorithm>
#include <cmath>

namespace learning {

ZBPlayerSlider::ZBPlayerSlider(uikit::Rect frame)
    : Control(frame),
      minLay_(std::make_shared<uikit::ShapeLayer>()),
      midLay_(std::make_shared<uikit::ShapeLayer>()),
      maxLay_(std::make_shared<uikit::ShapeLayer>()),
      potImgView_(std::make_shared<uikit::ImageView>()) {
  // The played line goes on top of the buffered one, which goes on top of the track.
  for (const auto& line : {maxLay_, midLay_, minLay_}) {
    line->setBackgroundColor(uikit::Color::clear());
    layer().addSublayer(line);
  }
  addSubview(potImgView_);
}

void ZBPlayerSlider::setMinValue(float value) {
  minValue_ = value;
  relayout();
}

void ZBPlayerSlider::setMidValue(float value) {
  midValue_ = value;
  relayout();
}

void ZBPlayerSlider::setPointImage(std::shared_ptr<const uikit::Image> image) {
  pointImage_ = std::move(image);
  potImgView_->setImage(pointImage_);
  potImgView_->setBounds(uikit::Rect(uikit::Point{}, pointImage_ ? pointImage_->size() : uikit::Size{}));
}

void ZBPlayerSlider::changingProgress(float x) {
  xp_ = x;
  relayout();
  sendActionsForControlEvents(uikit::kControlEventEditingChanged);
}

void ZBPlayerSlider::drawRect(uikit::Rect) {
  for (const auto& line : {minLay_, midLay_, maxLay_}) {
    line->setLineWidth(lineWidth_);
    line->setStrokeStart(0);
    line->setLineCap(uikit::LineCap::kRound);
  }
  midLay_->setStrokeColor(midColor_);
  minLay_->setStrokeColor(minColor_);
  maxLay_->setStrokeColor(maxColor_);
  potImgView_->setCenter(uikit::Point{potImgView_->center().x, bounds().height() / 2});
}

void ZBPlayerSlider::layoutSubviews() {
  if (bounds() == uikit::Rect()) {
    return;
  }
  const auto width = static_cast<float>(bounds().width());
  const double middle = bounds().height() / 2;
  auto path = std::make_shared<uikit::BezierPath>();
  path->moveToPoint(uikit::Point{0, middle});
  path->addLineToPoint(uikit::Point{width, middle});
  for (const auto& line : {minLay_, midLay_, maxLay_}) {
    line->setPath(path);
  }
  // Without a duration there is no scale: the knob and the lines keep their places.
  if (maxValue_ == 0) {
    return;
  }
  unit_ = width / maxValue_;
  if (onDrag_) {
    xp_ = std::min(xp_, width);
    // At the right end the finger means the whole duration, whatever the rounding of the scale.
    minValue_ = xp_ == width ? maxValue_ : xp_ / unit_;
  }
  float knobX = minValue_ * unit_;
  if (minValue_ >= maxValue_) {
    knobX = width;
  } else if (minValue_ <= 0) {
    knobX = 0;
  }
  potImgView_->setCenter(uikit::Point{knobX, potImgView_->center().y});
  // The stand-in's layers have no implicit animations, so the stroke ends jump as the platform's do with
  // animations turned off.
  const float played = minValue_ / maxValue_;
  maxLay_->setStrokeEnd(1.0);
  midLay_->setStrokeEnd(midValue_ / maxValue_);
  minLay_->setStrokeEnd(std::isnan(played) ? 0 : played);
}

void ZBPlayerSlider::touchesBegan(uikit::Point location) {
  setOnDrag(true);
  changingProgress(static_cast<float>(location.x));
}

void ZBPlayerSlider::touchesMoved(uikit::Point location) {
  changingProgress(static_cast<float>(location.x));
}

void ZBPlayerSlider::touchesEnded(uikit::Point) {
  setOnDrag(false);
  sendActionsForControlEvents(uikit::kControlEventValueChanged);
}

void ZBPlayerSlider::relayout() {
  setNeedsLayout();
  layoutIfNeeded();
}

}  // namespace learning
