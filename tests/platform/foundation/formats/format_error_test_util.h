#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "platform/foundation/values/Result.h"

namespace ns::testutil {

constexpr int kReadCorruptError = 3840;
constexpr int kWriteInvalidError = 3852;

// Expects `result` to be the format error `code` whose description holds `reason`.
template <typename T>
void expectFormatError(const Result<T>& result, int code, std::string_view reason = "") {
  ASSERT_FALSE(result.ok()) << "no error";
  EXPECT_EQ(result.error().domain(), "NSCocoaErrorDomain");
  EXPECT_EQ(result.error().code(), code);
  EXPECT_NE(result.error().localizedDescription().find(reason), std::string::npos)
      << result.error().localizedDescription();
}

}  // namespace ns::testutil
