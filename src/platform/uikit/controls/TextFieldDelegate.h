#pragma once

// uikit::TextFieldDelegate: what a text field asks and tells about editing. Every callback is optional: the
// defaults do nothing and allow everything, as a delegate that does not answer does. Held weakly.
// Thread-safety: main thread only, like every class of uikit.

#include <cstddef>
#include <string>

namespace uikit {

class TextField;

class TextFieldDelegate {
 public:
  virtual ~TextFieldDelegate() = default;

  virtual void textFieldDidBeginEditing(TextField&) {}
  virtual void textFieldDidEndEditing(TextField&) {}
  // Asked before the UTF-16 range [location, location + length) is replaced by `replacement`.
  virtual bool textFieldShouldChangeCharactersInRange(TextField&, std::size_t /*location*/,
                                                      std::size_t /*length*/,
                                                      const std::string& /*replacement*/) {
    return true;
  }
  // Asked when the return key is pressed.
  virtual bool textFieldShouldReturn(TextField&) { return true; }
};

}  // namespace uikit
