#pragma once

// JSONWriter writes an ns::Value as compact JSON text (no blanks, no line breaks, dictionary keys in
// ascending byte order) for JSONSerialization. Integers are written in decimal and doubles as the shortest
// text that reads back as the same double ("12.5", "3", "1e+20"). Not thread-safe: one writer serves one
// document.

#include <string>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class JSONWriter {
 public:
  // Appends the JSON text of `value` to the output. Returns true on success. Returns false, with failure()
  // saying what and where, when `value` holds something JSON cannot: data, a date, an infinite or NaN
  // double, or a string that is not well-formed UTF-8.
  bool write(const Value& value);

  // Returns the text written so far and empties the output.
  Data takeOutput() { return std::move(output_); }
  // REQUIRES: write returned false. Returns what could not be written and the key path to it.
  std::string failure() const;

 private:
  void append(std::string_view text) { output_.insert(output_.end(), text.begin(), text.end()); }
  void append(char c) { output_.push_back(static_cast<std::uint8_t>(c)); }
  bool writeDouble(double number);
  bool writeString(std::string_view text);
  bool writeArray(const Array& array);
  bool writeDictionary(const Dictionary& dictionary);
  bool fail(std::string what);

  Data output_;
  std::string failure_;
  // The place of the failing member, built from the inside out as the recursion unwinds.
  std::string failurePath_;
};

}  // namespace ns
