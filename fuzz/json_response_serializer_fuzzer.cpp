// Hands the HTTP client's JSON response serializer a reply made from the input: its first line is the status
// code, its second the Content-Type header (none when empty), and the rest the body. Checks the
// serializer's promises: a reply with a body to read gives an object or an error, the object is what the JSON
// reader makes of the body read in the reply's character set, and null removal takes away nulls and nothing
// else.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "http_client/HCJSONResponseSerializer.h"
#include "http_client/HCResponseSerializationErrors.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/net/HTTPURLResponse.h"
#include "reply_from_input.h"

namespace {

bool holdsNullInADictionary(const ns::Value& value) {
  if (value.isArray()) {
    for (const ns::Value& element : value.asArray()) {
      if (holdsNullInADictionary(element)) {
        return true;
      }
    }
  }
  if (value.isDictionary()) {
    for (const auto& [key, member] : value.asDictionary()) {
      if (member.isNull() || holdsNullInADictionary(member)) {
        return true;
      }
    }
  }
  return false;
}

// Makes every text of the error chain, as logging it does.
void describeErrors(const std::optional<ns::Error>& error) {
  for (const ns::Error* current = error ? &*error : nullptr; current != nullptr;
       current = current->underlyingError().get()) {
    current->localizedDescription();
    ns::describe(ns::Value(current->userInfo()));
  }
}

// The body read in the reply's character set; nullopt when the body is not text in it.
std::optional<std::string> bodyText(const FuzzedReply& reply) {
  const std::optional<std::string>& charset = reply.response->textEncodingName();
  const ns::StringEncoding encoding =
      (charset ? ns::StringEncoding::fromIANACharsetName(*charset) : std::nullopt)
          .value_or(ns::StringEncoding::utf8());
  return encoding.decode(reply.body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ns::URL url = *ns::URL::fromString("http://127.0.0.1/api/v1/course");
  const std::optional<FuzzedReply> reply =
      replyFromInput(std::string_view(reinterpret_cast<const char*>(data), size), url);
  if (!reply) {
    return 0;
  }
  http_client::HCJSONResponseSerializer keepingNulls;
  http_client::HCJSONResponseSerializer removingNulls;
  removingNulls.setRemovesKeysWithNullValues(true);
  const http_client::HCSerializedResponse kept =
      keepingNulls.responseObjectForResponse(reply->response, reply->body);
  const http_client::HCSerializedResponse removed =
      removingNulls.responseObjectForResponse(reply->response, reply->body);
  describeErrors(kept.error);

  const std::optional<std::string> text = bodyText(*reply);
  // No body, or the one space some servers send for none, has nothing to read: it may give neither.
  const bool nothingToRead = text && (text->empty() || *text == " ");
  requireProperty(kept.responseObject || kept.error || nothingToRead,
                  "a reply with something to read gives an object or an error");
  requireProperty(
      !kept.responseObject || kept.responseObject->isArray() || kept.responseObject->isDictionary(),
      "the object is an array or a dictionary");
  const int status = reply->response->statusCode();
  const bool statusAccepted = status >= 200 && status < 300;
  requireProperty(!(kept.responseObject && kept.error) || !statusAccepted,
                  "only a refused status code comes with both an object and an error");
  requireProperty(removed.responseObject.has_value() == kept.responseObject.has_value() &&
                      removed.error.has_value() == kept.error.has_value(),
                  "null removal changes neither whether there is an object nor whether there is an error");
  requireProperty(!removed.responseObject || !holdsNullInADictionary(*removed.responseObject),
                  "null removal leaves no null in a dictionary");

  const std::optional<std::string>& type = reply->response->MIMEType();
  const bool typeAccepted = type && keepingNulls.acceptableContentTypes()->contains(*type);
  if (statusAccepted && typeAccepted && text) {
    const ns::Result<ns::Value> expected = ns::JSONSerialization::JSONObjectWithData(*text);
    requireProperty(expected.ok() == kept.responseObject.has_value(),
                    "an accepted reply parses exactly when its text is JSON");
    requireProperty(!expected.ok() || *expected == *kept.responseObject,
                    "an accepted reply parses to what the JSON reader reads");
  }
  return 0;
}
