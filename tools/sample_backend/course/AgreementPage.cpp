#include "sample_backend/course/AgreementPage.h"

#include "sample_backend/course/CourseCatalogue.h"

namespace sample_backend::course {

namespace {

constexpr std::string_view kDefaultHost = "127.0.0.1";

std::string pagePath(const nlohmann::json& agreement) {
  return std::string(kAgreementPagePrefix) + idText(agreement.value("protocolId", nlohmann::json())) +
         ".html";
}

// `text` with the characters that HTML reads as markup written as references.
std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

}  // namespace

std::string agreementPageURL(const nlohmann::json& agreement, std::string_view host) {
  return "http://" + std::string(host.empty() ? kDefaultHost : host) + pagePath(agreement);
}

bool isAgreementPagePath(std::string_view path) {
  return path.substr(0, kAgreementPagePrefix.size()) == kAgreementPagePrefix;
}

std::optional<std::string> agreementPage(const nlohmann::json& agreement, std::string_view path) {
  if (!agreement.is_object() || !agreement.contains("protocolId") || path != pagePath(agreement)) {
    return std::nullopt;
  }
  const std::string name = escaped(agreement.value("name", ""));
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + name +
      "</title>\n<style>body { font-family: sans-serif; margin: 16px; } h1 { font-size: 20px; }</style>"
      "</head>\n<body><h1>" +
      name + "</h1>\n";
  for (const nlohmann::json& clause : agreement.value("clauses", nlohmann::json::array())) {
    if (clause.is_string()) {
      page += "<p>" + escaped(clause.get<std::string>()) + "</p>\n";
    }
  }
  return page + "</body></html>\n";
}

}  // namespace sample_backend::course
