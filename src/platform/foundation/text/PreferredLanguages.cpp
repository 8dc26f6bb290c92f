#include "platform/foundation/text/PreferredLanguages.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/check/Mutex.h"

namespace ns {

namespace {

// The languages a test put in place of the environment's.
struct LanguagesOverride {
  Mutex mutex;
  std::optional<std::vector<std::string>> languages QM_GUARDED_BY(mutex);
};

LanguagesOverride& languagesOverride() {
  static LanguagesOverride override;
  return override;
}

// "zh_CN.UTF-8@pinyin" gives "zh-CN"; the C and POSIX locales give "en"; an empty entry gives "".
std::string languageTagOfLocaleName(std::string_view name) {
  name = name.substr(0, name.find_first_of(".@"));
  if (name == "C" || name == "POSIX") {
    return "en";
  }
  std::string tag(name);
  std::replace(tag.begin(), tag.end(), '_', '-');
  return tag;
}

std::vector<std::string> languagesOfEnvironment() {
  std::vector<std::string> languages;
  if (const char* list = std::getenv("LANGUAGE"); list != nullptr) {
    std::string_view rest(list);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      if (std::string tag = languageTagOfLocaleName(rest.substr(0, colon)); !tag.empty()) {
        languages.push_back(std::move(tag));
      }
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (!languages.empty()) {
      break;
    }
    if (const char* name = std::getenv(variable); name != nullptr && *name != '\0') {
      languages.push_back(languageTagOfLocaleName(name));
    }
  }
  if (languages.empty()) {
    languages.emplace_back("en");
  }
  return languages;
}

}  // namespace

std::vector<std::string> preferredLanguages() {
  {
    LanguagesOverride& override = languagesOverride();
    MutexLock lock(override.mutex);
    if (override.languages) {
      return *override.languages;
    }
  }
  return languagesOfEnvironment();
}

void setPreferredLanguagesForTesting(std::optional<std::vector<std::string>> languages) {
  LanguagesOverride& override = languagesOverride();
  MutexLock lock(override.mutex);
  override.languages = std::move(languages);
}

}  // namespace ns
