#pragma once

// learning::ZBPlayerProgressBar: the player's bottom bar: previous, play/pause and next buttons on the left,
// the seek line with the played and whole times under it, and the full-screen button on the right. It shows
// what the player tells it (played, buffered and whole seconds, playing or not) and, when a drag of the seek
// line ends, sends value-changed with the dragged second in playedSec(); the player answers by seeking.
//
// Key-value observable: "onDrag" changes when a drag starts and ends, and "onPlay" on every setOnPlay().
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <memory>
#include <string>

#include "learning/player/controls/ZBPlayerSlider.h"
#include "platform/foundation/notify/KeyValueObservable.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/Control.h"
#include "platform/uikit/views/Label.h"

namespace learning {

class ZBPlayerProgressBar : public uikit::Control, public ns::KeyValueObservable {
 public:
  static constexpr char kOnDragKey[] = "onDrag";
  static constexpr char kOnPlayKey[] = "onPlay";

  explicit ZBPlayerProgressBar(uikit::Rect frame = {});

  // Returns "hh:mm:ss" for `seconds`; the hours take as many digits as they need.
  static std::string timeStringFromDurationSecond(std::uint32_t seconds);

  // Whether the seek line is being dragged.
  bool onDrag() const { return sliderView_->onDrag(); }
  // Stores the bar's own drag flag and announces "onDrag".
  void setOnDrag(bool onDrag);

  bool isFull() const { return isFull_; }
  void setIsFull(bool full) { isFull_ = full; }
  // Full screen only: the full-screen button is left out.
  bool onlyFull() const { return onlyFull_; }
  void setOnlyFull(bool onlyFull) { onlyFull_ = onlyFull; }
  bool available() const { return available_; }
  void setAvailable(bool available) { available_ = available; }
  bool onPlay() const { return onPlay_; }
  // Shows the pause picture while playing and the play picture otherwise, and announces "onPlay" (the
  // player starts and stops playback on it).
  void setOnPlay(bool onPlay);
  bool hiddenLast() const { return hiddenLast_; }
  void setHiddenLast(bool hidden) { hiddenLast_ = hidden; }
  bool hiddenNext() const { return hiddenNext_; }
  void setHiddenNext(bool hidden) { hiddenNext_ = hidden; }
  // The height of the play button's picture.
  float height() const { return height_; }

  std::uint32_t durationSec() const { return durationSec_; }
  void setDurationSec(std::uint32_t seconds);
  std::uint32_t playedSec() const { return playedSec_; }
  // Ignored while the seek line is being dragged, so that playback does not pull the knob from the finger.
  void setPlayedSec(std::uint32_t seconds);
  std::uint32_t bufferSec() const { return bufferSec_; }
  void setBufferSec(std::uint32_t seconds);

  const std::shared_ptr<uikit::Button>& btnLast() const { return btnLast_; }
  const std::shared_ptr<uikit::Button>& btnPlayPause() const { return btnPlayPause_; }
  const std::shared_ptr<uikit::Button>& btnNext() const { return btnNext_; }
  const std::shared_ptr<uikit::Button>& btnScreen() const { return btnScreen_; }
  const std::shared_ptr<ZBPlayerSlider>& sliderView() const { return sliderView_; }
  const uikit::Label& currentTimeLabel() const { return *cTime_; }
  const uikit::Label& durationLabel() const { return *dTime_; }

  void drawRect(uikit::Rect rect) override;
  void layoutSubviews() override;
  ns::Value valueForKey(std::string_view key) const override;

 private:
  // A drag step of the seek line: shows the dragged time.
  void progressValueChangeing();
  // The end of a drag: takes the dragged second and tells the targets.
  void progressValueChanged();
  // Puts the previous or next button at `x` (full screen only), or takes it out when `hidden`. Returns the
  // width it takes.
  double placeSideButton(const std::shared_ptr<uikit::Button>& button, bool hidden, double x);
  void relayout();

  std::shared_ptr<ZBPlayerSlider> sliderView_;
  std::shared_ptr<uikit::Label> cTime_;
  std::shared_ptr<uikit::Label> dTime_;
  std::shared_ptr<const uikit::Image> pointImg_;
  std::shared_ptr<const uikit::Image> trackImg_;
  std::shared_ptr<const uikit::Image> lastImg_;
  std::shared_ptr<const uikit::Image> playImg_;
  std::shared_ptr<const uikit::Image> pauseImg_;
  std::shared_ptr<const uikit::Image> nextImg_;
  std::shared_ptr<const uikit::Image> fullScreenImg_;
  std::shared_ptr<const uikit::Image> halfScreenImg_;
  std::shared_ptr<const uikit::Image> progressImg_;
  bool onDrag_ = false;
  bool isFull_ = false;
  bool onlyFull_ = false;
  bool available_ = false;
  bool onPlay_ = false;
  bool hiddenLast_ = false;
  bool hiddenNext_ = false;
  float height_ = 0;
  std::uint32_t durationSec_ = 0;
  std::uint32_t playedSec_ = 0;
  std::uint32_t bufferSec_ = 0;
  std::shared_ptr<uikit::Button> btnLast_;
  std::shared_ptr<uikit::Button> btnPlayPause_;
  std::shared_ptr<uikit::Button> btnNext_;
  std::shared_ptr<uikit::Button> btnScreen_;
};

}  // namespace learning
