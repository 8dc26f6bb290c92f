#include "platform/net/URLSessionResumeData.h"

#include <utility>

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/net/ContentRange.h"

namespace ns {

namespace {

constexpr std::string_view kURLKey = "URL";
constexpr std::string_view kPathKey = "partialFilePath";
constexpr std::string_view kBytesKey = "bytesStored";
constexpr std::string_view kEntityTagKey = "ETag";
constexpr std::string_view kLastModifiedKey = "Last-Modified";

std::optional<std::string> headerOf(const HTTPURLResponse& response, std::string_view name) {
  const auto found = response.allHeaderFields().find(name);
  return found != response.allHeaderFields().end() ? std::optional(found->second) : std::nullopt;
}

std::optional<std::string> stringAt(const Value& plist, std::string_view key) {
  const Value* value = plist.find(key);
  return value != nullptr && value->isString() ? std::optional(value->asString()) : std::nullopt;
}

}  // namespace

std::optional<URLSessionResumeData> URLSessionResumeData::forPartialDownload(const URL& url,
                                                                             const HTTPURLResponse& response,
                                                                             std::string partialFilePath,
                                                                             std::uint64_t bytesStored) {
  URLSessionResumeData resume{url, std::move(partialFilePath), bytesStored, headerOf(response, "ETag"),
                              headerOf(response, "Last-Modified")};
  const bool whole = response.statusCode() == 200 && bytesStored > 0;
  if (!(whole || response.statusCode() == 206) || (!resume.entityTag && !resume.lastModified)) {
    return std::nullopt;
  }
  return resume;
}

std::optional<URLSessionResumeData> URLSessionResumeData::decode(const Data& data) {
  const Result<Value> plist = PropertyListSerialization::propertyListWithData(data);
  if (!plist || !plist->isDictionary()) {
    return std::nullopt;
  }
  const std::optional<std::string> text = stringAt(*plist, kURLKey);
  const std::optional<URL> url = text ? URL::fromString(*text) : std::nullopt;
  std::optional<std::string> path = stringAt(*plist, kPathKey);
  const Value* bytes = plist->find(kBytesKey);
  if (!url || !path || bytes == nullptr || !bytes->isInteger() || bytes->asInteger() < 0) {
    return std::nullopt;
  }
  URLSessionResumeData resume{*url, std::move(*path), static_cast<std::uint64_t>(bytes->asInteger()),
                              stringAt(*plist, kEntityTagKey), stringAt(*plist, kLastModifiedKey)};
  if (!resume.entityTag && !resume.lastModified) {
    return std::nullopt;
  }
  return resume;
}

Data URLSessionResumeData::encoded() const {
  Dictionary plist{{std::string(kURLKey), url.absoluteString()},
                   {std::string(kPathKey), partialFilePath},
                   {std::string(kBytesKey), static_cast<std::int64_t>(bytesStored)}};
  if (entityTag) {
    plist[std::string(kEntityTagKey)] = *entityTag;
  }
  if (lastModified) {
    plist[std::string(kLastModifiedKey)] = *lastModified;
  }
  // Only a string that is not well-formed UTF-8 is refused; such resume data reads back as none.
  Result<Data> data =
      PropertyListSerialization::dataWithPropertyList(Value(std::move(plist)), PropertyListFormat::kBinary);
  return data ? std::move(*data) : Data();
}

URLRequest URLSessionResumeData::requestForRest() const {
  URLRequest request(url);
  request.setValue("bytes=" + std::to_string(bytesStored) + "-", "Range");
  request.setValue(entityTag ? entityTag : lastModified, "If-Range");
  return request;
}

bool URLSessionResumeData::isContinuedBy(const HTTPURLResponse& response) const {
  const std::optional<std::string> tag = headerOf(response, "ETag");
  return continuesBodyAt(response, bytesStored) && (!tag || !entityTag || *tag == *entityTag);
}

}  // namespace ns
