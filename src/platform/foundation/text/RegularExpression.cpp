#include "platform/foundation/text/RegularExpression.h"

#include <unicode/localpointer.h>
#include <unicode/regex.h>
#include <unicode/utext.h>

#include "platform/foundation/text/IcuStrings.h"

namespace ns {

class RegularExpression::Compiled {
 public:
  explicit Compiled(std::unique_ptr<icu::RegexPattern> pattern) : pattern_(std::move(pattern)) {}

  // Runs `body` with a matcher set on `text`, read in place as UTF-8 so that match positions are byte
  // offsets. Returns `body`'s result, or `onFailure` when ICU cannot set the matcher up.
  template <typename Body, typename Outcome>
  Outcome withMatcher(std::string_view text, Outcome onFailure, Body body) const {
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUTextPointer input(
        utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status));
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern_->matcher(status));
    if (U_FAILURE(status)) {
      return onFailure;
    }
    matcher->reset(input.getAlias());
    return body(*matcher);
  }

 private:
  // RegexPattern is safe to share between threads; each search makes its own matcher.
  const std::unique_ptr<icu::RegexPattern> pattern_;
};

RegularExpression::RegularExpression(std::shared_ptr<const Compiled> compiled)
    : compiled_(std::move(compiled)) {}

Result<RegularExpression> RegularExpression::make(std::string_view pattern, CaseSensitivity caseSensitivity) {
  const uint32_t flags = caseSensitivity == CaseSensitivity::kInsensitive ? UREGEX_CASE_INSENSITIVE : 0;
  UParseError parseError{};
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexPattern> compiled(
      icu::RegexPattern::compile(icuStringFromUtf8(pattern), flags, parseError, status));
  if (U_FAILURE(status) || !compiled) {
    return Error("NSCocoaErrorDomain", 2048,
                 Dictionary{{"NSInvalidValue", Value(pattern)},
                            {std::string(kLocalizedDescriptionKey),
                             Value("The value “" + std::string(pattern) + "” is invalid.")}});
  }
  return RegularExpression(std::make_shared<const Compiled>(std::move(compiled)));
}

bool RegularExpression::matchesEntireText(std::string_view text) const {
  return compiled_->withMatcher(text, false, [](icu::RegexMatcher& matcher) {
    UErrorCode status = U_ZERO_ERROR;
    return matcher.matches(status) && U_SUCCESS(status);
  });
}

std::vector<RegularExpression::Range> RegularExpression::matchesInText(std::string_view text) const {
  return compiled_->withMatcher(text, std::vector<Range>{}, [](icu::RegexMatcher& matcher) {
    std::vector<Range> ranges;
    UErrorCode status = U_ZERO_ERROR;
    while (matcher.find(status) && U_SUCCESS(status)) {
      const int64_t start = matcher.start64(status);
      const int64_t end = matcher.end64(status);
      ranges.push_back(Range{static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)});
    }
    return ranges;
  });
}

}  // namespace ns
