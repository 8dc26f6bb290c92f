#include "learning/player/controls/ZBPlayerProgressBar.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "app/store/ConsoleLog.h"
#include "learning/player/controls/ZBImageFromBundle.h"

namespace learning {
namespace {

constexpr double kTimeFontSize = 9;
// Space between the buttons on the left and the seek line, and between the line and the times under it.
constexpr double kSliderGap = 8;
constexpr double kTimeLabelsBelowSlider = 20;

uikit::Size sizeOf(const std::shared_ptr<const uikit::Image>& image) {
  return image ? image->size() : uikit::Size{};
}

std::shared_ptr<uikit::Button> makeButton(std::shared_ptr<const uikit::Image> image) {
  auto button = std::make_shared<uikit::Button>(uikit::Rect(), uikit::ButtonType::kCustom);
  button->setImage(std::move(image), uikit::kControlStateNormal);
  return button;
}

std::shared_ptr<uikit::Label> makeTimeLabel(std::string text, uikit::Color color) {
  auto label = std::make_shared<uikit::Label>();
  label->setText(std::move(text));
  label->setTextColor(color);
  label->setFont(uikit::Font::systemFontOfSize(kTimeFontSize));
  return label;
}

// The whole seconds of a slider position: none below 0, and never more than the bar can hold.
std::uint32_t wholeSeconds(float position) {
  if (!(position > 0)) {
    return 0;
  }
  constexpr double kMost = std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(std::min(std::floor(static_cast<double>(position)), kMost));
}

uikit::Color rgb255(double red, double green, double blue) {
  return uikit::Color::rgba(red / 255, green / 255, blue / 255, 1);
}

}  // namespace

ZBPlayerProgressBar::ZBPlayerProgressBar(uikit::Rect frame)
    : Control(frame),
      pointImg_(ZBImageFromBundle::imageWithResourceName("iconMove")),
      trackImg_(ZBImageFromBundle::imageWithResourceName("progressNormal")),
      lastImg_(ZBImageFromBundle::imageWithResourceName("iconLast")),
      playImg_(ZBImageFromBundle::imageWithResourceName("iconPlay")),
      pauseImg_(ZBImageFromBundle::imageWithResourceName("iconPause")),
      nextImg_(ZBImageFromBundle::imageWithResourceName("iconNext")),
      fullScreenImg_(ZBImageFromBundle::imageWithResourceName("iconScreenFull")),
      halfScreenImg_(ZBImageFromBundle::imageWithResourceName("iconScreenNormal")),
      progressImg_(ZBImageFromBundle::imageWithResourceName("progressPlayed")) {
  height_ = static_cast<float>(sizeOf(playImg_).height);

  sliderView_ = std::make_shared<ZBPlayerSlider>();
  sliderView_->setMinColor(rgb255(76, 197, 205));
  sliderView_->setMidColor(rgb255(209, 209, 209));
  sliderView_->setMaxColor(rgb255(64, 64, 64));
  sliderView_->setPointImage(pointImg_);
  sliderView_->setLineWidth(4.0F);
  sliderView_->setMinValue(0);
  sliderView_->setMidValue(0);
  sliderView_->setMaxValue(1.0F);
  // The bar owns the slider, so the actions never outlive what they capture.
  sliderView_->addAction([this](uikit::Control&) { progressValueChanged(); },
                         uikit::kControlEventValueChanged);
  sliderView_->addAction([this](uikit::Control&) { progressValueChangeing(); },
                         uikit::kControlEventEditingChanged);
  addSubview(sliderView_);

  btnPlayPause_ = makeButton(playImg_);
  btnLast_ = makeButton(lastImg_);
  btnNext_ = makeButton(nextImg_);
  btnScreen_ = makeButton(fullScreenImg_);
  for (const auto& button : {btnPlayPause_, btnLast_, btnNext_, btnScreen_}) {
    addSubview(button);
  }

  cTime_ = makeTimeLabel("00:00:00/", uikit::Color::white(1));
  dTime_ = makeTimeLabel("00:00:00", uikit::Color::white(2.0 / 3));
  addSubview(cTime_);
  addSubview(dTime_);
}

std::string ZBPlayerProgressBar::timeStringFromDurationSecond(std::uint32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

void ZBPlayerProgressBar::setOnDrag(bool onDrag) {
  const bool old = onDrag_;
  onDrag_ = onDrag;
  didChangeValueForKey(kOnDragKey, old, onDrag);
}

ns::Value ZBPlayerProgressBar::valueForKey(std::string_view key) const {
  if (key == kOnDragKey) {
    return ns::Value(onDrag());
  }
  return key == kOnPlayKey ? ns::Value(onPlay_) : ns::Value();
}

void ZBPlayerProgressBar::setOnPlay(bool onPlay) {
  const bool old = onPlay_;
  onPlay_ = onPlay;
  btnPlayPause_->setImage(onPlay ? pauseImg_ : playImg_, uikit::kControlStateNormal);
  didChangeValueForKey(kOnPlayKey, old, onPlay);
}

void ZBPlayerProgressBar::setPlayedSec(std::uint32_t seconds) {
  if (sliderView_->onDrag()) {
    return;
  }
  playedSec_ = seconds;
  sliderView_->setMinValue(static_cast<float>(seconds));
  cTime_->setText(timeStringFromDurationSecond(seconds));
  relayout();
}

void ZBPlayerProgressBar::setDurationSec(std::uint32_t seconds) {
  durationSec_ = seconds;
  sliderView_->setMaxValue(static_cast<float>(seconds));
  dTime_->setText("/" + timeStringFromDurationSecond(seconds));
  relayout();
}

void ZBPlayerProgressBar::setBufferSec(std::uint32_t seconds) {
  bufferSec_ = seconds;
  sliderView_->setMidValue(static_cast<float>(seconds));
}

void ZBPlayerProgressBar::drawRect(uikit::Rect rect) {
  double x = rect.minX();
  const double width = rect.width();
  x += placeSideButton(btnLast_, hiddenLast_, x);
  btnPlayPause_->setFrame(uikit::Rect(uikit::Point{x, 0}, sizeOf(btnPlayPause_->currentImage())));
  x += btnPlayPause_->frame().width();
  x += placeSideButton(btnNext_, hiddenNext_, x);

  btnScreen_->setImage(isFull_ ? halfScreenImg_ : fullScreenImg_, uikit::kControlStateNormal);
  const uikit::Size screenSize = sizeOf(btnScreen_->currentImage());
  btnScreen_->setFrame(uikit::Rect(uikit::Point{width - screenSize.width, 0}, screenSize));
  double rightLimit = width;
  if (onlyFull_) {
    btnScreen_->removeFromSuperview();
  } else {
    if (btnScreen_->superview() == nullptr) {
      addSubview(btnScreen_);
    }
    rightLimit = width - screenSize.width;
  }

  x += kSliderGap;
  sliderView_->setFrame(uikit::Rect(x, 0, rightLimit - kSliderGap - x, sizeOf(pointImg_).height));
  sliderView_->setCenter(uikit::Point{sliderView_->center().x, rect.height() / 2});
  sliderView_->setBackgroundColor(uikit::Color::clear());
  const uikit::Rect slider = sliderView_->frame();
  cTime_->setFrame(
      uikit::Rect(uikit::Point{slider.minX(), slider.minY() + kTimeLabelsBelowSlider}, cTime_->frame().size));
  dTime_->setFrame(uikit::Rect(
      uikit::Point{slider.minX() + cTime_->frame().width(), slider.minY() + kTimeLabelsBelowSlider},
      dTime_->frame().size));
  relayout();
}

double ZBPlayerProgressBar::placeSideButton(const std::shared_ptr<uikit::Button>& button, bool hidden,
                                            double x) {
  if (hidden) {
    button->removeFromSuperview();
    return 0;
  }
  // A button hidden for one lesson comes back for the next one that has a neighbour.
  if (button->superview() == nullptr) {
    addSubview(button);
  }
  button->setFrame(uikit::Rect(uikit::Point{x, 0}, sizeOf(button->currentImage())));
  button->setHidden(!isFull_);
  button->setEnabled(isFull_);
  button->setUserInteractionEnabled(isFull_);
  return isFull_ ? button->frame().width() : 0;
}

void ZBPlayerProgressBar::layoutSubviews() {
  cTime_->sizeToFit();
  const uikit::Rect played = cTime_->frame();
  dTime_->setFrame(uikit::Rect(uikit::Point{played.maxX(), played.minY()}, dTime_->frame().size));
  dTime_->sizeToFit();
}

void ZBPlayerProgressBar::progressValueChangeing() {
  setOnDrag(true);
  sliderView_->setMinValue(std::max(sliderView_->minValue(), 0.0F));
  cTime_->setText(timeStringFromDurationSecond(wholeSeconds(sliderView_->minValue())));
  relayout();
}

void ZBPlayerProgressBar::progressValueChanged() {
  setOnDrag(false);
  setOnPlay(false);
  setPlayedSec(wholeSeconds(sliderView_->minValue()));
  app::consoleLog("_playedSec : " + std::to_string(playedSec_));
  sendActionsForControlEvents(uikit::kControlEventValueChanged);
}

void ZBPlayerProgressBar::relayout() {
  setNeedsLayout();
  layoutIfNeeded();
}

}  // namespace learning
