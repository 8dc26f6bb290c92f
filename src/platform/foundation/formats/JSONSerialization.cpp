#include "platform/foundation/formats/JSONSerialization.h"

#include <nlohmann/json.hpp>

#include "platform/foundation/formats/FormatErrors.h"
#include "platform/foundation/formats/JSONValueBuilder.h"
#include "platform/foundation/formats/JSONWriter.h"

namespace ns {

Result<Value> JSONSerialization::JSONObjectWithData(const Data& data, unsigned options) {
  return JSONObjectWithData(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()),
                            options);
}

Result<Value> JSONSerialization::JSONObjectWithData(std::string_view text, unsigned options) {
  JSONValueBuilder builder((options & kJSONReadingFragmentsAllowed) != 0);
  if (!nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &builder)) {
    return readCorruptError("The data couldn’t be read because it isn’t valid JSON: " + builder.failure() +
                            ".");
  }
  return builder.takeResult();
}

Result<Data> JSONSerialization::dataWithJSONObject(const Value& object, unsigned options) {
  if (!object.isArray() && !object.isDictionary()) {
    return writeInvalidError(
        "The data couldn’t be written as JSON: the top-level value is neither an array nor a dictionary.");
  }
  JSONWriter writer((options & kJSONWritingPrettyPrinted) != 0);
  if (!writer.write(object)) {
    return writeInvalidError("The data couldn’t be written as JSON: " + writer.failure() + ".");
  }
  return writer.takeOutput();
}

}  // namespace ns
