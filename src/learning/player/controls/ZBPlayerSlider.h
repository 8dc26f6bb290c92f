#pragma once

// learning::ZBPlayerSlider: the player's seek line. Three shape layers stroke one horizontal line: the whole
// track (max), the buffered part (mid) and the played part (min, on top), with a knob image at the played
// position. Values are seconds. A finger dragging over it moves the played position with the finger:
// editing-changed on every step, value-changed when it lifts.
//
// Thread-safety: main thread only, like every view.

#include <memory>

#include "platform/uikit/controls/Control.h"
#include "platform/uikit/drawing/ShapeLayer.h"
#include "platform/uikit/views/ImageView.h"

namespace learning {

class ZBPlayerSlider : public uikit::Control {
 public:
  explicit ZBPlayerSlider(uikit::Rect frame = {});

  bool onDrag() const { return onDrag_; }
  void setOnDrag(bool onDrag) { onDrag_ = onDrag; }
  // The played position; while dragging it follows the finger and may go below 0.
  float minValue() const { return minValue_; }
  // Stores, then lays out at once.
  void setMinValue(float value);
  // The buffered position. Stores, then lays out at once.
  float midValue() const { return midValue_; }
  void setMidValue(float value);
  // The duration. Only stores; the next layout uses it.
  float maxValue() const { return maxValue_; }
  void setMaxValue(float value) { maxValue_ = value; }
  float lineWidth() const { return lineWidth_; }
  void setLineWidth(float width) { lineWidth_ = width; }
  const uikit::Color& minColor() const { return minColor_; }
  void setMinColor(uikit::Color color) { minColor_ = color; }
  const uikit::Color& midColor() const { return midColor_; }
  void setMidColor(uikit::Color color) { midColor_ = color; }
  const uikit::Color& maxColor() const { return maxColor_; }
  void setMaxColor(uikit::Color color) { maxColor_ = color; }
  const std::shared_ptr<const uikit::Image>& pointImage() const { return pointImage_; }
  // Shows `image` as the knob, sized to it.
  void setPointImage(std::shared_ptr<const uikit::Image> image);

  // The knob and the three lines, for the bar and tests to read.
  const uikit::ImageView& knob() const { return *potImgView_; }
  const uikit::ShapeLayer& playedLine() const { return *minLay_; }
  const uikit::ShapeLayer& bufferedLine() const { return *midLay_; }
  const uikit::ShapeLayer& trackLine() const { return *maxLay_; }

  // One drag step to `x` (in the slider): remembers it, lays out at once and sends editing-changed.
  void changingProgress(float x);

  void drawRect(uikit::Rect rect) override;
  void layoutSubviews() override;
  void touchesBegan(uikit::Point location) override;
  void touchesMoved(uikit::Point location) override;
  void touchesEnded(uikit::Point location) override;

 private:
  void relayout();

  std::shared_ptr<uikit::ShapeLayer> minLay_;
  std::shared_ptr<uikit::ShapeLayer> midLay_;
  std::shared_ptr<uikit::ShapeLayer> maxLay_;
  // Points per second of the current duration.
  float unit_ = 0;
  std::shared_ptr<uikit::ImageView> potImgView_;
  // The finger's x while dragging.
  float xp_ = 0;
  bool onDrag_ = false;
  float minValue_ = 0;
  float midValue_ = 0;
  float maxValue_ = 0;
  float lineWidth_ = 0;
  uikit::Color minColor_ = uikit::Color::black();
  uikit::Color midColor_ = uikit::Color::black();
  uikit::Color maxColor_ = uikit::Color::black();
  std::shared_ptr<const uikit::Image> pointImage_;
};

}  // namespace learning
