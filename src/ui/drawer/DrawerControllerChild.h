#pragma once

// ui::DrawerControllerChild: a controller the drawer hands itself to when it takes it as a child. Held by the
// child weakly, by convention. Thread-safety: main thread only.

#include <memory>

namespace ui {

class DrawerController;

class DrawerControllerChild {
 public:
  virtual ~DrawerControllerChild() = default;

  virtual void setDrawer(std::weak_ptr<DrawerController> drawer) = 0;
};

}  // namespace ui
