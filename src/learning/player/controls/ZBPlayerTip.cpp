#include "learning/player/controls/ZBPlayerTip.h"

#include "learning/player/controls/ZBImageFromBundle.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/text/Utf16.h"
#include "platform/uikit/views/ActivityIndicatorView.h"

namespace learning {
namespace {

constexpr uikit::Size kPanelSize{120, 80};
constexpr double kTipFontSize = 12;
constexpr double kIconAboveCentre = 10;
constexpr double kTextLineHeight = 15;
constexpr char kLoadingText[] = "加载中";

void removeFromScreen(const std::shared_ptr<uikit::ImageView>& panel) {
  if (panel) {
    panel->removeFromSuperview();
  }
}

uikit::Point panelCentre() {
  return uikit::Point{kPanelSize.width / 2, kPanelSize.height / 2};
}

}  // namespace

ZBPlayerTip::ZBPlayerTip()
    : errorInfolabel_(std::make_shared<uikit::Label>()), progressTF_(std::make_shared<uikit::TextField>()) {
  progressTF_->setTextAlignment(uikit::TextAlignment::kCenter);
  progressTF_->setFont(uikit::Font::systemFontOfSize(kTipFontSize));
  progressTF_->setBackgroundColor(uikit::Color::clear());
  progressTF_->setUserInteractionEnabled(false);
  errorInfolabel_->setTextAlignment(uikit::TextAlignment::kCenter);
  errorInfolabel_->setText("!!!");
  errorInfolabel_->setFont(uikit::Font::systemFontOfSize(kTipFontSize));
  errorInfolabel_->setTextColor(uikit::Color::white(1));
}

std::shared_ptr<uikit::ImageView> ZBPlayerTip::makePanel() {
  const auto host = sView();
  QM_DCHECK(host != nullptr, "the tips have a host view");
  auto picture = ZBImageFromBundle::imageWithResourceName("progressAlert");
  auto panel = std::make_shared<uikit::ImageView>(uikit::Rect(uikit::Point{}, kPanelSize));
  panel->setImage(picture ? picture->resizableImageWithCapInsets(uikit::EdgeInsets{10, 10, 10, 10})
                          : nullptr);
  panel->layer().setBackgroundColor(bcolor_);
  panel->layer().setCornerRadius(cornerRadius_);
  if (host) {
    host->addSubview(panel);
    panel->setCenter(host->center());
  }
  currentTip_ = panel;
  return panel;
}

void ZBPlayerTip::showLoading() {
  hideFF();
  hideFW();
  hideErrorInfo();
  removeFromScreen(LoadingIMG_);
  LoadingIMG_ = makePanel();
  auto spinner =
      std::make_shared<uikit::ActivityIndicatorView>(uikit::ActivityIndicatorViewStyle::kWhiteLarge);
  spinner->setColor(uikit::Color::white(1));
  spinner->startAnimating();
  spinner->setCenter(uikit::Point{panelCentre().x, panelCentre().y - kIconAboveCentre});
  LoadingIMG_->addSubview(spinner);
  auto label = std::make_shared<uikit::Label>();
  label->setText(kLoadingText);
  label->setTextColor(uikit::Color::white(1));
  label->sizeToFit();
  label->setCenter(uikit::Point{panelCentre().x, panelCentre().y + spinner->frame().height() / 2 + 5});
  LoadingIMG_->addSubview(label);
}

void ZBPlayerTip::hideLoading() {
  removeFromScreen(LoadingIMG_);
}

std::shared_ptr<uikit::ImageView> ZBPlayerTip::makeSeekPanel(const char* iconName) {
  auto panel = makePanel();
  auto icon = std::make_shared<uikit::ImageView>(ZBImageFromBundle::imageWithResourceName(iconName));
  icon->setCenter(uikit::Point{panelCentre().x, panelCentre().y - kIconAboveCentre});
  panel->addSubview(icon);
  progressTF_->setFrame(uikit::Rect(0, panelCentre().y + 10, kPanelSize.width, kTextLineHeight));
  panel->addSubview(progressTF_);
  return panel;
}

void ZBPlayerTip::showFF() {
  hideLoading();
  hideFW();
  removeFromScreen(FFIMG_);
  FFIMG_ = makeSeekPanel("iconFF");
}

void ZBPlayerTip::hideFF() {
  removeFromScreen(FFIMG_);
}

void ZBPlayerTip::showFW() {
  hideLoading();
  hideFF();
  removeFromScreen(FWIMG_);
  FWIMG_ = makeSeekPanel("iconFW");
}

void ZBPlayerTip::hideFW() {
  removeFromScreen(FWIMG_);
}

void ZBPlayerTip::showErrorInfo(std::string text) {
  errorInfolabel_->setText(std::move(text));
  hideLoading();
  removeFromScreen(ErrorIMG_);
  ErrorIMG_ = makePanel();
  errorInfolabel_->setFrame(uikit::Rect(0, panelCentre().y, kPanelSize.width, kTextLineHeight));
  ErrorIMG_->addSubview(errorInfolabel_);
}

void ZBPlayerTip::hideErrorInfo() {
  removeFromScreen(ErrorIMG_);
}

void ZBPlayerTip::setCurrent(const std::string& current, const std::string& duration) {
  const std::string text = current + "/" + duration;
  uikit::AttributedString seekText(text);
  // Coloured by the texts' own lengths, so that hours of three digits or more keep the split right.
  const std::size_t currentLength = ns::utf16Length(current);
  seekText.addAttributes(
      {.font = std::nullopt, .foregroundColor = uikit::Color::rgba(76.0 / 255, 197.0 / 255, 205.0 / 255, 1)},
      0, currentLength);
  seekText.addAttributes({.font = std::nullopt, .foregroundColor = uikit::Color::white(1)}, currentLength,
                         ns::utf16Length(text) - currentLength);
  progressTF_->setAttributedText(std::move(seekText));
}

void ZBPlayerTip::setCenter(uikit::Point center) {
  for (const auto& panel : {LoadingIMG_, FFIMG_, FWIMG_}) {
    if (panel) {
      panel->setCenter(center);
    }
  }
}

}  // namespace learning
