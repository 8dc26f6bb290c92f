#pragma once

// sample_backend::api::SampleCatalogue: the data the sample back end serves, read from a JSON file of
// sections (data/README.md describes them). Routes read the sections they serve; tests may load the
// default catalogue and change a section before starting a server.
//
// Thread-safety: constant once a server uses it; reading from several threads is safe.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/values/Result.h"

namespace sample_backend::api {

// The application's identity and the fixed values of its common headers.
struct CatalogueApplication {
  std::string appId;
  std::string signingKey;
  std::string appName;
  std::string protocolVersion;
  std::string model;
  std::string channel;
};

class SampleCatalogue {
 public:
  // Returns the catalogue in the file `path`, or an error (domain "SampleCatalogue") naming the file and
  // what is wrong: unreadable, not JSON, or without a complete "application" section.
  static ns::Result<SampleCatalogue> fromFile(const std::string& path);
  // Returns the catalogue that `document` describes, or an error as above.
  static ns::Result<SampleCatalogue> fromJson(nlohmann::json document);
  // Returns the path of the catalogue shipped with the back end: QUILLMARK_SAMPLE_CATALOGUE when set, else
  // data/catalogue.json in the source tree.
  static std::string defaultPath();

  const CatalogueApplication& application() const { return application_; }

  // Returns the section `name`, or a null value when the catalogue has none.
  const nlohmann::json& section(std::string_view name) const;
  // Replaces the section `name`. REQUIRES: no server uses this catalogue yet.
  void setSection(std::string_view name, nlohmann::json value);

  // Returns the learner whose "userName" is `userName`, or nullptr.
  const nlohmann::json* learnerNamed(std::string_view userName) const;
  // Returns the learner whose "userId" is `userId`, or nullptr.
  const nlohmann::json* learnerWithId(std::string_view userId) const;

 private:
  SampleCatalogue(nlohmann::json document, CatalogueApplication application)
      : document_(std::move(document)), application_(std::move(application)) {}

  // Returns the learner whose `field` is `value`, or nullptr.
  const nlohmann::json* learnerWhere(std::string_view field, std::string_view value) const;

  nlohmann::json document_;
  CatalogueApplication application_;
};

}  // namespace sample_backend::api
