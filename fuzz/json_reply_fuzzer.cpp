// Reads the input as a JSON reply and checks the reader and the writer against each other: whatever reads
// must write, and what is written must read back as the same value. The "%@" text that logs show of a reply
// is made too, since every reply may be logged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "value_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ns::Result<ns::Value> parsed = ns::JSONSerialization::JSONObjectWithData(text);
  if (!parsed) {
    requireProperty(parsed.error().domain() == ns::kCocoaErrorDomain &&
                        parsed.error().code() == ns::kPropertyListReadCorruptError,
                    "a refused JSON text is reported as error 3840");
    return 0;
  }
  requireProperty(parsed->isArray() || parsed->isDictionary(), "the top level is an array or a dictionary");
  ns::describe(*parsed);

  const ns::Result<ns::Data> written = ns::JSONSerialization::dataWithJSONObject(*parsed);
  requireProperty(written.ok(), "a value read from JSON writes as JSON");
  const ns::Result<ns::Value> reread = ns::JSONSerialization::JSONObjectWithData(*written);
  requireProperty(reread.ok(), "written JSON reads back");
  requireProperty(sameAfterRoundTrip(*parsed, *reread, {.numbersMayChangeKind = true}),
                  "written JSON reads back as the value written");
  return 0;
}
