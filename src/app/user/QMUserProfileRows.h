#pragma once

// QMUserProfileRows: the rows of the learner's profile on the user-centre screens: full name
// (realNameLabel), sex (sexLabel) and address (addressLabel), each a value after its caption. show()
// fills them from the shared QMUser; the sex shows "女" for "1" and "男" for "2", and any other value keeps
// the scene's text (kSexSceneText).
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uikit/tables/TableViewCell.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUser;

class QMUserProfileRows {
 public:
  static constexpr char kSexSceneText[] = "未填写";

  // Builds the three rows, `width` points wide.
  explicit QMUserProfileRows(double width);

  // The text the sex label shows for `userSex`, or std::nullopt to keep the scene's text.
  static std::optional<std::string> sexText(const std::optional<std::string>& userSex);

  // Fills the labels from `user`.
  void show(QMUser& user);

  // The rows, in order.
  const std::vector<std::shared_ptr<uikit::TableViewCell>>& cells() const { return cells_; }
  const std::shared_ptr<uikit::Label>& realNameLabel() const { return realNameLabel_; }
  const std::shared_ptr<uikit::Label>& sexLabel() const { return sexLabel_; }
  const std::shared_ptr<uikit::Label>& addressLabel() const { return addressLabel_; }

 private:
  std::shared_ptr<uikit::Label> addRow(double width, const std::string& caption,
                                       const std::string& outletName);

  std::vector<std::shared_ptr<uikit::TableViewCell>> cells_;
  std::shared_ptr<uikit::Label> realNameLabel_;
  std::shared_ptr<uikit::Label> sexLabel_;
  std::shared_ptr<uikit::Label> addressLabel_;
};

}  // namespace app
