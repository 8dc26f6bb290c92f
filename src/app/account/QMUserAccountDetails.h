#pragma once

// QMUserAccountDetails: the learner's coin transactions, one row each (QMUserAccountDetailsCell), newest
// first as the back end sends them. It asks for them when it loads; until they come, and when there are
// none, the empty picture (noDetailsView) shows in place of the table. A reply whose list is missing, null
// or not a list counts as no transactions; a failed request changes nothing. Selecting a row opens the
// transaction's details (the segue kTradeDetailsSegue to QMUserOneTradeDetails).
//
// Thread-safety: main thread only, like every controller.

#include <memory>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/views/ImageView.h"

namespace app {

class QMUserAccountDetails : public QMBaseViewController,
                             public uikit::TableViewDataSource,
                             public uikit::TableViewDelegate,
                             public QMUserDataModelDelegate {
 public:
  static constexpr char kTitle[] = "Z币明细";
  static constexpr char kTradeDetailsSegue[] = "showTradeDetails";
  static constexpr char kNoDetailsImage[] = "noDetails";

  QMUserAccountDetails() = default;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::TableView>& myTable() const { return myTable_; }
  const std::shared_ptr<uikit::ImageView>& noDetailsView() const { return noDetailsView_; }
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  const std::vector<ns::Value>& zcoinList() const { return zcoinList_; }
  // Shows `list`: the table when it holds transactions, else the empty picture.
  void setZcoinList(std::vector<ns::Value> list);

  void loadView() override;
  // Starts empty and asks for the transactions.
  void viewDidLoad() override;
  // Pops the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);
  // The details screen gets the transaction of the row that was selected (the sender, a cell).
  void prepareForSegue(uikit::StoryboardSegue& segue, const std::shared_ptr<ns::Object>& sender) override;

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  void networkGetUserZCoinListSuccess(const ns::Value& transactions) override;

 private:
  std::shared_ptr<uikit::TableView> myTable_;
  std::shared_ptr<uikit::ImageView> noDetailsView_;
  std::shared_ptr<QMUserDataModel> dataModel_;
  std::vector<ns::Value> zcoinList_;
};

}  // namespace app
