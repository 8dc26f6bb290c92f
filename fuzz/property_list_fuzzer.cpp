// Reads the input as a property list, XML or binary, and writes what it reads in both formats: a value that
// one format refuses the other refuses too, and a written document must read back as the same value, less
// only what the format drops by design (XML dates keep whole seconds).

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "platform/foundation/formats/PropertyListSerialization.h"
#include "value_round_trip.h"

namespace {

// Binary documents keep a date's fraction, but libplist hands it out in whole microseconds, cut rather than
// rounded, and the writer rounds to microseconds: a date may move by up to two of them.
constexpr double kBinaryDateSeconds = 2e-6;
// XML documents keep whole seconds.
constexpr double kXmlDateSeconds = 1;

// Writes `value` in `format` and reads it back. Returns whether the format could hold the value.
bool roundTrips(const ns::Value& value, ns::PropertyListFormat format, double dateSeconds) {
  const ns::Result<ns::Data> written = ns::PropertyListSerialization::dataWithPropertyList(value, format);
  if (!written) {
    requireProperty(written.error().domain() == ns::kCocoaErrorDomain &&
                        written.error().code() == ns::kPropertyListWriteInvalidError,
                    "a refused value is reported as error 3852");
    return false;
  }
  const ns::Result<ns::Value> reread = ns::PropertyListSerialization::propertyListWithData(*written);
  requireProperty(reread.ok(), "a written property list reads back");
  requireProperty(sameAfterRoundTrip(value, *reread, {.dateSeconds = dateSeconds}),
                  "a written property list reads back as the value written");
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ns::Result<ns::Value> parsed =
      ns::PropertyListSerialization::propertyListWithData(ns::Data(data, data + size));
  if (!parsed) {
    requireProperty(parsed.error().domain() == ns::kCocoaErrorDomain &&
                        parsed.error().code() == ns::kPropertyListReadCorruptError,
                    "a refused property list is reported as error 3840");
    return 0;
  }
  ns::describe(*parsed);
  const bool xml = roundTrips(*parsed, ns::PropertyListFormat::kXml, kXmlDateSeconds);
  const bool binary = roundTrips(*parsed, ns::PropertyListFormat::kBinary, kBinaryDateSeconds);
  requireProperty(xml == binary, "both formats hold the same values");
  return 0;
}
