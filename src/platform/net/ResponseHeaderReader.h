#pragma once

// ns::ResponseHeaderReader: gathers the header fields of an HTTP response from its lines as they arrive.
// A status line starts a new block (an interim or redirect response came first); folded lines continue the
// field before them; a field that comes again is joined to the first with ", ".
// Thread-safety: used by one thread at a time.

#include <string>
#include <string_view>

#include "platform/foundation/check/OneThreadAtATimeChecker.h"
#include "platform/net/HTTPHeaderFields.h"

namespace ns {

class ResponseHeaderReader {
 public:
  // Takes one line as received, line end included. Returns true when it is the blank line that ends the
  // block.
  bool takeLine(std::string_view line);
  // The fields of the current block.
  const HTTPHeaderFields& fields() const { return fields_; }
  // Forgets the current block.
  void reset();

 private:
  HTTPHeaderFields fields_;
  std::string lastName_;
  OneThreadAtATimeChecker useChecker_;
};

}  // namespace ns
