#pragma once

// The course agreement's page: the back end serves it as HTML at "/quillmark/agreement/<protocolId>.html",
// and the agreement status names it under "signURL" at the host the client reached, so that the
// application's web view loads it from this back end wherever it runs. The page holds the agreement's
// "name" as its title and heading and each of its "clauses" as a paragraph (data/README.md), with a small
// style sheet of its own.
//
// Thread-safety: pure functions.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace sample_backend::course {

inline constexpr std::string_view kAgreementPagePrefix = "/quillmark/agreement/";

// Returns "http://<host>/quillmark/agreement/<protocolId>.html" for `agreement` (the catalogue's object);
// `host` is the "Host" the client sent ("127.0.0.1:<port>"), "127.0.0.1" when it sent none.
std::string agreementPageURL(const nlohmann::json& agreement, std::string_view host);

// Returns true when `path` lies where agreement pages are served (whether or not the page exists).
bool isAgreementPagePath(std::string_view path);

// Returns the page of `agreement` when `path` is its path, else std::nullopt.
std::optional<std::string> agreementPage(const nlohmann::json& agreement, std::string_view path);

}  // namespace sample_backend::course
