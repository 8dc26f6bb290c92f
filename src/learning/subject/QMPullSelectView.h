#pragma once

// QMPullSelectView: the frame of a pull-down selection list. Its row titles are not kept yet: setting them
// stores nothing, so rowTitleArray() stays empty. Nothing in the application creates one yet.
//
// Thread-safety: main thread only, like every view.

#include <string>
#include <vector>

#include "platform/uikit/views/View.h"

namespace learning {

class QMPullSelectView : public uikit::View {
 public:
  using uikit::View::View;

  std::vector<std::string> rowTitleArray() const { return {}; }
  void setRowTitleArray(const std::vector<std::string>& /*titles*/) {}
};

}  // namespace learning
