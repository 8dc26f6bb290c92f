#pragma once

// ui::DrawerControllerPresenting: the hooks a drawer's child controller hears while the drawer opens and
// closes, in this order: will-open, did-open; will-close, did-close. Each is optional (an empty default);
// only children that adopt the protocol hear them. Thread-safety: main thread only.

namespace ui {

class DrawerController;

class DrawerControllerPresenting {
 public:
  virtual ~DrawerControllerPresenting() = default;

  virtual void drawerControllerWillOpen(DrawerController&) {}
  virtual void drawerControllerDidOpen(DrawerController&) {}
  virtual void drawerControllerWillClose(DrawerController&) {}
  virtual void drawerControllerDidClose(DrawerController&) {}
};

}  // namespace ui
