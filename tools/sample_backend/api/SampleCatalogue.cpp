#include "sample_backend/api/SampleCatalogue.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sample_backend::api {
namespace {

constexpr std::string_view kErrorDomain = "com.quillmark.sample-catalogue";

ns::Error catalogueError(std::string text) {
  return ns::Error(std::string(kErrorDomain), 1, {{std::string(ns::kLocalizedDescriptionKey), text}});
}

std::optional<std::string> textMember(const nlohmann::json& object, const char* name) {
  auto found = object.find(name);
  if (found == object.end() || !found->is_string()) {
    return std::nullopt;
  }
  return found->get<std::string>();
}

}  // namespace

ns::Result<SampleCatalogue> SampleCatalogue::fromFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) {
    return catalogueError("cannot read the catalogue " + path);
  }
  std::stringstream contents;
  contents << file.rdbuf();
  nlohmann::json document = nlohmann::json::parse(contents.str(), nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) {
    return catalogueError("the catalogue " + path + " is not JSON");
  }
  return fromJson(std::move(document));
}

ns::Result<SampleCatalogue> SampleCatalogue::fromJson(nlohmann::json document) {
  if (!document.is_object() || !document.contains("application") || !document["application"].is_object()) {
    return catalogueError("the catalogue has no \"application\" section");
  }
  const nlohmann::json& section = document["application"];
  CatalogueApplication application;
  const std::pair<const char*, std::string*> fields[] = {
      {"appId", &application.appId},     {"signingKey", &application.signingKey},
      {"appName", &application.appName}, {"protocolVersion", &application.protocolVersion},
      {"model", &application.model},     {"channel", &application.channel},
  };
  for (const auto& [name, destination] : fields) {
    std::optional<std::string> value = textMember(section, name);
    if (!value) {
      return catalogueError(std::string("the \"application\" section lacks the text \"") + name + "\"");
    }
    *destination = std::move(*value);
  }
  return SampleCatalogue(std::move(document), std::move(application));
}

std::string SampleCatalogue::defaultPath() {
  if (const char* path = std::getenv("QUILLMARK_SAMPLE_CATALOGUE")) {
    return path;
  }
  return SAMPLE_BACKEND_SOURCE_CATALOGUE;
}

const nlohmann::json& SampleCatalogue::section(std::string_view name) const {
  static const nlohmann::json kNone;
  auto found = document_.find(name);
  return found == document_.end() ? kNone : *found;
}

void SampleCatalogue::setSection(std::string_view name, nlohmann::json value) {
  document_[std::string(name)] = std::move(value);
}

const nlohmann::json* SampleCatalogue::learnerNamed(std::string_view userName) const {
  return learnerWhere("userName", userName);
}

const nlohmann::json* SampleCatalogue::learnerWithId(std::string_view userId) const {
  return learnerWhere("userId", userId);
}

const nlohmann::json* SampleCatalogue::learnerWhere(std::string_view field, std::string_view value) const {
  const nlohmann::json& learners = section("learners");
  if (!learners.is_array()) {
    return nullptr;
  }
  for (const nlohmann::json& learner : learners) {
    if (textMember(learner, std::string(field).c_str()) == value) {
      return &learner;
    }
  }
  return nullptr;
}

}  // namespace sample_backend::api
