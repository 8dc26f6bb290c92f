#pragma once

// ns::OwnedDescriptor: owns a file descriptor (a timer, a socket) and closes it when it goes out of scope.
// Thread-safety: a plain value; one thread at a time.

#include <utility>

namespace ns {

class OwnedDescriptor {
 public:
  // Takes `descriptor`; a negative one (a failed open) owns nothing.
  explicit OwnedDescriptor(int descriptor = -1) : descriptor_(descriptor) {}
  ~OwnedDescriptor();
  OwnedDescriptor(OwnedDescriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
  OwnedDescriptor& operator=(OwnedDescriptor&& other) noexcept;
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;

  bool isValid() const { return descriptor_ >= 0; }
  // The descriptor, or -1 when none is owned. Ownership stays here.
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

}  // namespace ns
