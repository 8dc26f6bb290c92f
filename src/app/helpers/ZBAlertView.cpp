#include "app/helpers/ZBAlertView.h"

#include <algorithm>
#include <chrono>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/views/ActivityIndicatorView.h"
#include "platform/uikit/views/Label.h"

namespace app {

namespace {

constexpr double kButtonRowHeight = 45;
constexpr double kCheckBoxButtonRowHeight = 35;
constexpr double kCheckBoxHeight = 20;
constexpr double kViewPanelMargin = 20;
constexpr double kViewPanelLift = 10;
constexpr double kNetworkBoxSide = 100;
constexpr char kTickedImage[] = "icon_selectorSelected";
constexpr char kUntickedImage[] = "icon_selectorDeselect";

struct PanelQueue {
  std::vector<std::shared_ptr<ZBAlertView>> panels;
  bool showing = false;
  std::int64_t lastSession = 0;
};

PanelQueue& panelQueue() {
  static PanelQueue queue;
  return queue;
}

std::shared_ptr<uikit::Window> keyWindow() {
  return uikit::Application::sharedApplication().keyWindow();
}

// Panels cover the key window, or the screen while there is none.
uikit::Rect panelFrame() {
  const std::shared_ptr<uikit::Window> window = keyWindow();
  return window ? window->bounds() : uikit::Screen::mainScreen().bounds();
}

std::shared_ptr<uikit::Label> messageLabel(const std::string& message, uikit::Rect frame) {
  auto label = std::make_shared<uikit::Label>(frame);
  label->setNumberOfLines(0);
  label->setTextAlignment(uikit::TextAlignment::kCenter);
  label->setBackgroundColor(uikit::Color::clear());
  label->setFont(uikit::Font::systemFontOfSize(15));
  label->setText(message);
  return label;
}

// Returns the rectangle that holds both.
uikit::Rect unionOf(uikit::Rect a, uikit::Rect b) {
  const double minX = std::min(a.minX(), b.minX());
  const double minY = std::min(a.minY(), b.minY());
  return uikit::Rect(minX, minY, std::max(a.maxX(), b.maxX()) - minX, std::max(a.maxY(), b.maxY()) - minY);
}

}  // namespace

ZBAlertView::ZBAlertView(uikit::Rect frame) : uikit::View(frame), session_(++panelQueue().lastSession) {}

std::int64_t ZBAlertView::showAlertWithMessage(const std::string& message,
                                               const std::vector<std::string>& buttonTitles,
                                               const std::weak_ptr<ZBAlertViewDelegate>& delegate) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<ZBAlertView> panel = makePanel(delegate);
  std::shared_ptr<uikit::View> box = panel->addBox({kBoxWidth, kBoxHeight});
  panel->message_ = message;
  const double buttonHeight = buttonTitles.empty() ? 0 : kButtonRowHeight;
  box->addSubview(messageLabel(message, uikit::Rect(20, 20, kBoxWidth - 40, kBoxHeight - buttonHeight - 40)));
  panel->addButtonRow(*box, buttonTitles, buttonHeight);
  showFirstQueuedPanel();
  return panel->session_;
}

std::int64_t ZBAlertView::showAlertWithMessage(const std::string& message,
                                               const std::optional<std::string>& switchTitle,
                                               const std::vector<std::string>& buttonTitles,
                                               const std::weak_ptr<ZBAlertViewDelegate>& delegate) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<ZBAlertView> panel = makePanel(delegate);
  std::shared_ptr<uikit::View> box = panel->addBox({kBoxWidth, kBoxHeight});
  panel->message_ = message;
  const double buttonHeight = buttonTitles.empty() ? 0 : kCheckBoxButtonRowHeight;
  const double checkBoxHeight = switchTitle ? kCheckBoxHeight : 0;
  const uikit::Rect labelFrame(10, 20, kBoxWidth - 20, kBoxHeight - checkBoxHeight - buttonHeight - 40);
  box->addSubview(messageLabel(message, labelFrame));

  auto checkBox = std::make_shared<MyButton>(uikit::Rect(0, labelFrame.maxY(), kBoxWidth, checkBoxHeight),
                                             uikit::ButtonType::kCustom);
  checkBox->setAlertPoint(panel);
  checkBox->setTitle(switchTitle, uikit::kControlStateNormal);
  checkBox->titleLabel().setFont(uikit::Font::systemFontOfSize(13));
  checkBox->setTitleColor(uikit::Color::black(), uikit::kControlStateNormal);
  checkBox->setBackgroundColor(uikit::Color::clear());
  checkBox->setTitleEdgeInsets(uikit::EdgeInsets{0, 30, 0, 0});
  checkBox->setImage(uikit::Image::imageNamed(kUntickedImage), uikit::kControlStateNormal);
  checkBox->addAction([](uikit::Control& sender) { onSwitched(static_cast<MyButton&>(sender)); },
                      uikit::kControlEventTouchUpInside);
  box->addSubview(checkBox);

  panel->addButtonRow(*box, buttonTitles, buttonHeight);
  showFirstQueuedPanel();
  return panel->session_;
}

std::int64_t ZBAlertView::showAlertWithMessage(const std::string& message, std::shared_ptr<uikit::View> view,
                                               Arrangement arrangement, double autoDismissSeconds,
                                               const std::weak_ptr<ZBAlertViewDelegate>& delegate) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<ZBAlertView> panel = makePanel(delegate);
  std::shared_ptr<uikit::Label> label = messageLabel(message, {});
  label->sizeToFit();
  const uikit::Size labelSize = label->frame().size;
  const uikit::Size viewSize = view->frame().size;
  if (arrangement == Arrangement::kViewBeside) {
    label->setFrame(uikit::Rect({0, 0}, labelSize));
    view->setFrame(uikit::Rect({labelSize.width, 0}, viewSize));
  } else {
    const double width = std::max(labelSize.width, viewSize.width);
    view->setFrame(uikit::Rect({(width - viewSize.width) / 2, -kViewPanelLift}, viewSize));
    label->setFrame(
        uikit::Rect({(width - labelSize.width) / 2, viewSize.height - kViewPanelLift}, labelSize));
  }
  const uikit::Rect content = unionOf(label->frame(), view->frame());
  std::shared_ptr<uikit::View> box =
      panel->addBox({content.width() + 2 * kViewPanelMargin, content.height() + 2 * kViewPanelMargin});
  for (const std::shared_ptr<uikit::View>& part : {std::shared_ptr<uikit::View>(label), view}) {
    part->setFrame(
        part->frame().offsetBy(kViewPanelMargin - content.minX(), kViewPanelMargin - content.minY()));
    box->addSubview(part);
  }
  showFirstQueuedPanel();
  const std::int64_t session = panel->session_;
  if (autoDismissSeconds > 0) {
    ns::DispatchQueue::main().after(
        std::chrono::duration_cast<ns::Duration>(std::chrono::duration<double>(autoDismissSeconds)),
        [session] { dismissAlertView(session); });
  }
  return session;
}

std::int64_t ZBAlertView::showAlertWithNetworkInWorking() {
  QM_DCHECK_MAIN_THREAD();
  auto panel = std::make_shared<ZBAlertView>(panelFrame());
  panel->isNetFlog_ = true;
  std::shared_ptr<uikit::View> box = panel->addBox({kNetworkBoxSide, kNetworkBoxSide});
  box->setBackgroundColor(uikit::Color::black().withAlpha(0.6));
  box->layer().setCornerRadius(5);
  auto spinner =
      std::make_shared<uikit::ActivityIndicatorView>(uikit::ActivityIndicatorViewStyle::kWhiteLarge);
  spinner->setCenter({kNetworkBoxSide / 2, kNetworkBoxSide / 2});
  spinner->startAnimating();
  box->addSubview(spinner);
  if (panelQueue().panels.empty()) {
    panelQueue().panels.push_back(panel);
    showFirstQueuedPanel();
  }
  return panel->session_;
}

void ZBAlertView::dismissAlertView(std::int64_t session) {
  QM_DCHECK_MAIN_THREAD();
  std::vector<std::shared_ptr<ZBAlertView>>& panels = panelQueue().panels;
  auto found = std::find_if(
      panels.begin(), panels.end(),
      [session](const std::shared_ptr<ZBAlertView>& panel) { return panel->session_ == session; });
  if (found != panels.end()) {
    std::shared_ptr<ZBAlertView> panel = *found;
    // Only the queue's first panel can be on screen: one dismissed from behind it leaves it showing.
    if (found == panels.begin()) {
      panelQueue().showing = false;
    }
    panel->removeFromSuperview();
    panels.erase(found);
    if (std::shared_ptr<ZBAlertViewDelegate> delegate = panel->delegate_.lock()) {
      delegate->alertViewDidDismiss(*panel);
    }
    // The panel may be dismissed from inside one of its own buttons' actions, so it stays alive until the
    // main loop's next turn, when that action has returned.
    ns::DispatchQueue::main().async([panel] {});
  }
  showFirstQueuedPanel();
}

void ZBAlertView::onClicked(MyButton& button) {
  QM_DCHECK_MAIN_THREAD();
  std::shared_ptr<ZBAlertView> panel = button.alertPoint();
  if (!panel) {
    return;
  }
  if (std::shared_ptr<ZBAlertViewDelegate> delegate = panel->delegate_.lock()) {
    delegate->alertViewDidOnClickedButton(*panel, button);
  }
  dismissAlertView(panel->session_);
}

void ZBAlertView::onSwitched(MyButton& button) {
  QM_DCHECK_MAIN_THREAD();
  button.setTicked(!button.ticked());
  // Selected as it is ticked, so that the box's state reads on the screen beside its picture.
  button.setSelected(button.ticked());
  if (std::shared_ptr<ZBAlertView> panel = button.alertPoint()) {
    panel->switchSave_ = button.ticked();
  }
  button.setImage(uikit::Image::imageNamed(button.ticked() ? kTickedImage : kUntickedImage),
                  uikit::kControlStateNormal);
}

const std::vector<std::shared_ptr<ZBAlertView>>& ZBAlertView::queuedPanels() {
  QM_DCHECK_MAIN_THREAD();
  return panelQueue().panels;
}

bool ZBAlertView::isShowingPanel() {
  QM_DCHECK_MAIN_THREAD();
  return panelQueue().showing;
}

void ZBAlertView::resetForTesting() {
  QM_DCHECK_MAIN_THREAD();
  for (const std::shared_ptr<ZBAlertView>& panel : panelQueue().panels) {
    panel->removeFromSuperview();
  }
  panelQueue().panels.clear();
  panelQueue().showing = false;
}

void ZBAlertView::layoutSubviews() {
  setBackgroundColor(uikit::Color::black().withAlpha(0.5));
}

std::shared_ptr<ZBAlertView> ZBAlertView::makePanel(const std::weak_ptr<ZBAlertViewDelegate>& delegate) {
  QM_DCHECK_MAIN_THREAD();
  auto panel = std::make_shared<ZBAlertView>(panelFrame());
  panel->delegate_ = delegate;
  panelQueue().panels.push_back(panel);
  return panel;
}

std::shared_ptr<uikit::View> ZBAlertView::addBox(uikit::Size size) {
  auto box = std::make_shared<uikit::View>(uikit::Rect({0, 0}, size));
  box->setClipsToBounds(true);
  box->setBackgroundColor(uikit::Color::white(1));
  box->setCenter({bounds().midX(), bounds().midY()});
  box->layer().setCornerRadius(10);
  addSubview(box);
  return box;
}

void ZBAlertView::addButtonRow(uikit::View& box, const std::vector<std::string>& titles, double height) {
  const std::shared_ptr<ZBAlertView> panel = std::static_pointer_cast<ZBAlertView>(shared_from_this());
  const double count = static_cast<double>(titles.size());
  // Neighbouring buttons overlap by a point, so that their borders make single lines, and the outer borders
  // fall outside the clipped box.
  const float width = static_cast<float>(kBoxWidth / count + count);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const double index = static_cast<double>(i);
    auto button = std::make_shared<MyButton>(
        uikit::Rect(width * index - (index + 1), kBoxHeight - height, width, height),
        uikit::ButtonType::kSystem);
    button->setTitle(titles[i], uikit::kControlStateNormal);
    // Delegates tell the buttons apart by their place in the row, whatever their titles read.
    button->setTag(static_cast<std::int64_t>(i));
    button->titleLabel().setFont(uikit::Font::systemFontOfSize(17));
    button->layer().setBorderColor(uikit::Color::white(0.5));
    button->layer().setBorderWidth(0.5);
    button->setAlertPoint(panel);
    button->addAction([](uikit::Control& sender) { onClicked(static_cast<MyButton&>(sender)); },
                      uikit::kControlEventTouchUpInside);
    box.addSubview(button);
  }
}

void ZBAlertView::showFirstQueuedPanel() {
  PanelQueue& queue = panelQueue();
  const std::shared_ptr<uikit::Window> window = keyWindow();
  // A panel goes up only where it can be seen: without a key window the queue waits for the next show or
  // dismissal, rather than counting a panel as shown that nobody will ever be able to answer.
  if (queue.showing || queue.panels.empty() || !window) {
    return;
  }
  window->addSubview(queue.panels.front());
  queue.showing = true;
}

}  // namespace app
