#include "support/header_list.h"

#include <boost/beast/core/string.hpp>

namespace testsupport {

std::optional<std::string> findHeader(const HeaderList& headers, std::string_view name) {
  for (const auto& [field, value] : headers) {
    if (boost::beast::iequals(field, boost::beast::string_view(name.data(), name.size()))) {
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace testsupport
