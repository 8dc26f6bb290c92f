#pragma once

// QMUserAccountDetailsCell: one row of the coin transactions: the kind of the transaction, its date and
// its amount, drawn in the colour of its kind (amountColorForType()). The screen fills the labels.
//
// Thread-safety: main thread only, like every view.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Value.h"
#include "platform/uikit/tables/TableViewCell.h"

namespace app {

class QMUserAccountDetailsCell : public uikit::TableViewCell {
 public:
  static constexpr char kReuseIdentifier[] = "QMUserAccountDetailsCell";

  QMUserAccountDetailsCell();

  // The colour an amount is drawn in: one for transactions of type 2 and 4, another for every other type.
  static uikit::Color amountColorForType(std::int64_t type);
  // The type of `transaction` ("type" read as an integer; 0 when it has none).
  static std::int64_t typeOf(const ns::Value& transaction);

  // Outlets, owned by the cell's content view.
  uikit::Label& detailTypeLabel() { return *detailTypeLabel_; }
  uikit::Label& detailTimeLabel() { return *detailTimeLabel_; }
  uikit::Label& detailNumberLabel() { return *detailNumberLabel_; }

 private:
  std::shared_ptr<uikit::Label> detailTypeLabel_;
  std::shared_ptr<uikit::Label> detailTimeLabel_;
  std::shared_ptr<uikit::Label> detailNumberLabel_;
};

}  // namespace app
