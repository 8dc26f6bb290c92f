#pragma once

// The user's preferred languages, most preferred first, as language tags ("en", "zh-Hans", "fr-CA"). On
// Linux they come from the locale environment: LANGUAGE (a colon-separated list), else LC_ALL, LC_MESSAGES
// or LANG; "zh_CN.UTF-8" reads as "zh-CN", and the C and POSIX locales read as "en". Without any, the list
// is {"en"}.
// Thread-safety: every function may be called from any thread.

#include <optional>
#include <string>
#include <vector>

namespace ns {

// Returns the preferred languages; never empty.
std::vector<std::string> preferredLanguages();

// Makes preferredLanguages() answer `languages` from now on; std::nullopt returns to the environment.
// REQUIRES: `languages`, when given, is not empty.
void setPreferredLanguagesForTesting(std::optional<std::vector<std::string>> languages);

}  // namespace ns
