#pragma once

// JSONWriter writes an ns::Value as JSON text for JSONSerialization, dictionary keys in ascending byte
// order: compact (no blanks, no line breaks), or pretty-printed (each member of an array or dictionary on a
// line of its own, indented two spaces a level, a key followed by " : "; an empty one stays "[]" or "{}").
// Integers are written in decimal and doubles as the shortest text that reads back as the same double
// ("12.5", "3", "1e+20"). Not thread-safe: one writer serves one document.

#include <string>

#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class JSONWriter {
 public:
  explicit JSONWriter(bool prettyPrinted = false) : prettyPrinted_(prettyPrinted) {}

  // Appends the JSON text of `value` to the output. Returns true on success. Returns false, with failure()
  // saying what and where, when `value` holds something JSON cannot: data, a date, a set, an infinite or
  // NaN double, or a string that is not well-formed UTF-8.
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
  // Opens an array or dictionary with `open`, one level deeper.
  void openContainer(char open);
  // Before each member: the comma after the one before it and, in pretty text, its line.
  void beginMember(bool first);
  // Closes an array or dictionary with `close`, back at the level around it.
  void closeContainer(char close, bool empty);
  void newLine();
  bool fail(std::string what);

  const bool prettyPrinted_;
  std::size_t depth_ = 0;
  Data output_;
  std::string failure_;
  // The place of the failing member, built from the inside out as the recursion unwinds.
  std::string failurePath_;
};

}  // namespace ns
