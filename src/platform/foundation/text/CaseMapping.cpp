#include "platform/foundation/text/CaseMapping.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>

#include "platform/foundation/text/IcuStrings.h"

namespace ns {
namespace {

using Utf8CaseMapping = void (*)(const char* locale, uint32_t options, icu::StringPiece source,
                                 icu::ByteSink& sink, icu::Edits* edits, UErrorCode& status);

std::string mapCase(std::string_view text, Utf8CaseMapping mapping) {
  std::string result;
  icu::StringByteSink<std::string> sink(&result, static_cast<int32_t>(text.size()));
  UErrorCode status = U_ZERO_ERROR;
  // The root locale ("") applies the language-neutral rules; no Turkish dotless i and the like.
  mapping("", 0, icuStringPiece(text), sink, nullptr, status);
  return result;
}

}  // namespace

std::string uppercased(std::string_view text) {
  return mapCase(text, &icu::CaseMap::utf8ToUpper);
}

std::string lowercased(std::string_view text) {
  return mapCase(text, &icu::CaseMap::utf8ToLower);
}

}  // namespace ns
