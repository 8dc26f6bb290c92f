#pragma once

// QMDLListController: what the two lists of the download area share (QMDLSubjectController,
// QMDLStageController): a table of nodes of the course chain (subjects or stages) with their downloaded
// and downloading counts, the empty-state picture when there is none, a back item ("返回"), and a clear-all
// item ("清除全部") that asks "确定清除所有缓存视频？" ("取消", "确定") before the list's own clearing.
//
// The list follows the counters live: every change of a listed node's "cachedVideo" or "cachingVideo"
// fetches the list anew and observes the new nodes (the old observations end first). A tapped row is
// deselected and triggers the list's segue with the row's cell as sender.
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "app/store/QMCountedNode.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/uikit/alerts/AlertViewDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/tables/TableViewDataSource.h"
#include "platform/uikit/tables/TableViewDelegate.h"
#include "platform/uikit/views/ImageView.h"

namespace learning {

class QMDLListController : public app::QMBaseViewController,
                           public uikit::TableViewDataSource,
                           public uikit::TableViewDelegate,
                           public uikit::AlertViewDelegate {
 public:
  static constexpr char kBackTitle[] = "返回";
  static constexpr char kClearAllTitle[] = "清除全部";
  static constexpr char kClearAllQuestion[] = "确定清除所有缓存视频？";
  static constexpr char kCancelTitle[] = "取消";
  static constexpr char kConfirmTitle[] = "确定";
  static constexpr char kNoCourseImage[] = "DL_no_course";
  static constexpr double kRowHeight = 70;

  void loadView() override;
  // Loads the list.
  void viewDidLoad() override;

  // Fetches the list anew, shows it, and follows the new nodes' counters.
  void reloadList();
  // Asks the clear-all question.
  void clearAllAction(uikit::BarButtonItem& sender);
  virtual void goBackAction(uikit::BarButtonItem& sender) = 0;

  // uikit::TableViewDataSource and TableViewDelegate: one row per node; a tap deselects the row and
  // triggers the segue.
  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;
  // "确定" on the clear-all question clears the list's downloads and reloads the table.
  void alertViewClickedButtonAtIndex(uikit::AlertView& alertView, std::int64_t index) override;

  const std::shared_ptr<uikit::TableView>& myTabelView() const { return myTabelView_; }
  const std::shared_ptr<uikit::ImageView>& noCourseView() const { return noCourseView_; }

 protected:
  QMDLListController() = default;

  // The nodes listed, in order.
  virtual std::vector<std::shared_ptr<app::QMCountedNode>> fetchNodes() = 0;
  // Deletes the downloads the list's clear-all covers.
  virtual void clearAll() = 0;
  // The segue a tapped row triggers.
  virtual std::string rowSegueIdentifier() const = 0;

  const std::vector<std::shared_ptr<app::QMCountedNode>>& nodes() const { return nodes_; }
  // The node of the row `cell` shows, or nullptr.
  std::shared_ptr<app::QMCountedNode> nodeOfCell(const ns::Object* cell);
  // "<count>个".
  static std::string countText(std::optional<std::int64_t> count);

 private:
  std::shared_ptr<QMDLListController> self() {
    return std::static_pointer_cast<QMDLListController>(shared_from_this());
  }

  std::shared_ptr<uikit::TableView> myTabelView_;
  std::shared_ptr<uikit::ImageView> noCourseView_;
  std::vector<std::shared_ptr<app::QMCountedNode>> nodes_;
  std::vector<ns::KeyValueObservation> observations_;
};

}  // namespace learning
