#pragma once

// uikit::TextViewDelegate: what a text view asks and tells about editing. Every callback is optional: the
// defaults do nothing and allow everything, as a delegate that does not answer does. Held weakly.
// Thread-safety: main thread only, like every class of uikit.

#include <cstddef>
#include <string>

namespace uikit {

class TextView;

class TextViewDelegate {
 public:
  virtual ~TextViewDelegate() = default;

  virtual void textViewDidBeginEditing(TextView&) {}
  virtual void textViewDidEndEditing(TextView&) {}
  // Asked before the UTF-16 range [location, location + length) is replaced by `replacement`.
  virtual bool textViewShouldChangeTextInRange(TextView&, std::size_t /*location*/, std::size_t /*length*/,
                                               const std::string& /*replacement*/) {
    return true;
  }
  // Told after typing changed the text.
  virtual void textViewDidChange(TextView&) {}
};

}  // namespace uikit
