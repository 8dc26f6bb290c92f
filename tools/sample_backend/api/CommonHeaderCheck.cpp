#include "sample_backend/api/CommonHeaderCheck.h"

#include <functional>
#include <regex>

namespace sample_backend::api {
namespace {

struct HeaderRule {
  const char* name;
  std::function<bool(const std::string&)> accepts;
};

std::function<bool(const std::string&)> equalTo(std::string expected) {
  return [expected = std::move(expected)](const std::string& value) { return value == expected; };
}

std::function<bool(const std::string&)> matching(const char* pattern) {
  return [expression = std::regex(pattern)](const std::string& value) {
    return std::regex_match(value, expression);
  };
}

std::vector<HeaderRule> headerRules(const CatalogueApplication& application) {
  return {
      {"app_name", equalTo(application.appName)},
      {"version", matching(R"(v\d+(\.\d+)*)")},
      {"protocol_version", equalTo(application.protocolVersion)},
      {"imei", matching("[0-9a-f]{40}")},
      {"platform", matching("ios_[^_]+_.+")},
      {"model", equalTo(application.model)},
      {"screensize", matching(R"(\d+\*\d+)")},
      {"channel", equalTo(application.channel)},
      {"network", [](const std::string& value) { return !value.empty(); }},
  };
}

}  // namespace

std::optional<std::string> findCommonHeaderFault(const ApiRequest& request,
                                                 const CatalogueApplication& application) {
  for (const HeaderRule& rule : headerRules(application)) {
    std::optional<std::string> value = request.header(rule.name);
    if (!value) {
      return std::string("missing header ") + rule.name;
    }
    if (!rule.accepts(*value)) {
      return std::string("header ") + rule.name + " is \"" + *value + "\"";
    }
  }
  return std::nullopt;
}

}  // namespace sample_backend::api
