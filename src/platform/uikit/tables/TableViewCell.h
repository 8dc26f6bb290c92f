#pragma once

// uikit::TableViewCell: one row of a table. It holds a content view with the default-style labels (a text
// label, and a detail label in the styles that have one) and an image view; subclasses and nibs add their own
// views to the content view. A table reuses cells by their reuse identifier.
//
// The row's text in the screen text and for the driver is every non-empty text shown in the cell, in
// back-to-front order (View::shownTexts()); the screen text also indents it by two spaces for each
// indentation level and names the bundle pictures the cell shows (TableView.h).
//
// Thread-safety: main thread only, like every class of uikit.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"
#include "platform/uikit/views/View.h"

namespace uikit {

enum class TableViewCellStyle : int { kDefault = 0, kValue1 = 1, kValue2 = 2, kSubtitle = 3 };
enum class TableViewCellSelectionStyle : int { kNone = 0, kBlue = 1, kGray = 2, kDefault = 3 };
enum class TableViewCellAccessoryType : int { kNone = 0, kDisclosureIndicator = 1, kCheckmark = 3 };

// The states a cell passes through while the table edits it, a bit set with the platform's numbering.
using TableViewCellStateMask = std::uint32_t;
inline constexpr TableViewCellStateMask kTableViewCellStateDefaultMask = 0;
inline constexpr TableViewCellStateMask kTableViewCellStateShowingEditControlMask = 1u << 0;
inline constexpr TableViewCellStateMask kTableViewCellStateShowingDeleteConfirmationMask = 1u << 1;

class TableViewCell : public View {
 public:
  TableViewCell(TableViewCellStyle style, std::string reuseIdentifier);

  TableViewCellStyle style() const { return style_; }
  const std::string& reuseIdentifier() const { return reuseIdentifier_; }

  // The view that cell content goes into. Owned by the cell.
  View& contentView() { return *contentView_; }
  const View& contentView() const { return *contentView_; }
  Label& textLabel() { return *textLabel_; }
  // The detail label, or nullptr in the default style, which has none.
  Label* detailTextLabel() { return detailTextLabel_.get(); }
  ImageView& imageView() { return *imageView_; }

  TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
  void setSelectionStyle(TableViewCellSelectionStyle style) { selectionStyle_ = style; }
  TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
  void setAccessoryType(TableViewCellAccessoryType type) { accessoryType_ = type; }
  // How deep the row lies in a hierarchy, 0 for the top; the screen text indents the row by it.
  std::int64_t indentationLevel() const { return indentationLevel_; }
  void setIndentationLevel(std::int64_t level) { indentationLevel_ = level; }
  bool isSelected() const { return selected_; }
  // The table calls it when the row is selected or deselected; subclasses may restyle themselves.
  virtual void setSelected(bool selected, bool animated);

  // Called before the table hands the cell out again. The default does nothing.
  virtual void prepareForReuse() {}
  // Called when the table starts or stops editing the row (a swipe shows the delete confirmation).
  virtual void willTransitionToState(TableViewCellStateMask /*state*/) {}

  void layoutSubviews() override;

 private:
  const TableViewCellStyle style_;
  const std::string reuseIdentifier_;
  std::shared_ptr<View> contentView_;
  std::shared_ptr<Label> textLabel_;
  std::shared_ptr<Label> detailTextLabel_;
  std::shared_ptr<ImageView> imageView_;
  TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::kDefault;
  TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::kNone;
  std::int64_t indentationLevel_ = 0;
  bool selected_ = false;
};

}  // namespace uikit
