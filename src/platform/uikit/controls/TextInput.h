#pragma once

// uikit::TextInput: what the driver does to a view that takes typed text (a text field, a text view): type
// into it and press the return key. Thread-safety: main thread only, like every class of uikit.

#include <string>

namespace uikit {

class TextInput {
 public:
  virtual ~TextInput() = default;

  // Replaces the whole text by `text`, as a person selecting everything and typing does: the delegate may
  // refuse the change. The input must be the first responder. Returns false when the delegate refused.
  virtual bool replaceTextByTyping(const std::string& text) = 0;
  // Presses the return key. Returns what the delegate answered (true when it does not answer).
  virtual bool pressReturnKey() = 0;
};

}  // namespace uikit
