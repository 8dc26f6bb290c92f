#include "platform/net/ResponseHeaderReader.h"

#include "platform/foundation/check/Check.h"

namespace ns {

bool ResponseHeaderReader::takeLine(std::string_view line) {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  if (line.starts_with("HTTP/")) {
    reset();
    return false;
  }
  const std::string_view content = trimHTTPWhitespace(line);
  if (content.empty()) {
    return true;
  }
  if ((line.front() == ' ' || line.front() == '\t') && !lastName_.empty()) {
    fields_[lastName_].append(" ").append(content);
    return false;
  }
  const std::size_t colon = content.find(':');
  if (colon == std::string_view::npos) {
    return false;
  }
  lastName_ = std::string(trimHTTPWhitespace(content.substr(0, colon)));
  const std::string value(trimHTTPWhitespace(content.substr(colon + 1)));
  const auto [field, inserted] = fields_.emplace(lastName_, value);
  if (!inserted) {
    field->second.append(", ").append(value);
  }
  return false;
}

void ResponseHeaderReader::reset() {
  QM_DCHECK_ONE_THREAD_AT_A_TIME(useChecker_);
  fields_.clear();
  lastName_.clear();
}

}  // namespace ns
