#include "platform/foundation/values/Error.h"

#include <gtest/gtest.h>

#include "platform/foundation/values/Result.h"

namespace ns {
namespace {

TEST(ErrorTest, LocalizedDescriptionPrefersTheUserInfoText) {
  const Error described("Domain", 7, Dictionary{{std::string(kLocalizedDescriptionKey), "Went wrong"}});
  EXPECT_EQ(described.localizedDescription(), "Went wrong");
  EXPECT_EQ(Error("NSCocoaErrorDomain", 3840).localizedDescription(),
            "The operation couldn’t be completed. (NSCocoaErrorDomain error 3840.)");
}

TEST(ErrorTest, EqualityIgnoresTheUnderlyingError) {
  Error outer("Outer", 1);
  outer.setUnderlyingError(Error("Inner", 2));
  ASSERT_NE(outer.underlyingError(), nullptr);
  EXPECT_EQ(outer.underlyingError()->domain(), "Inner");
  EXPECT_EQ(outer, Error("Outer", 1));
  EXPECT_NE(outer, Error("Outer", 2));
  EXPECT_NE(outer, Error("Outer", 1, Dictionary{{"k", 1}}));
}

TEST(ResultTest, HoldsAValueOrAnError) {
  const Result<Value> success = Value(Array{1});
  ASSERT_TRUE(success.ok());
  EXPECT_EQ(success->count(), 1u);

  const Result<Value> failure = Error("Domain", 5);
  ASSERT_FALSE(failure);
  EXPECT_EQ(failure.error().code(), 5);

  const Status done;
  EXPECT_TRUE(done.ok());
  const Status failed = Error("Domain", 6);
  EXPECT_EQ(failed.error().code(), 6);
}

}  // namespace
}  // namespace ns
