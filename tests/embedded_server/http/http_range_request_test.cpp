#include <gtest/gtest.h>

#include "embedded_server/http/HTTPRangeRequest.h"

namespace embedded_server {

namespace {

using Kind = HTTPRangeRequest::Kind;

TEST(HTTPRangeRequestTest, ReadsEachFormOfRangeCutsItToTheFileAndRefusesRangesBeyondTheEnd) {
  const auto request = HTTPRangeRequest::parse("bytes=0-9, 90-, -5,95-200", 100);
  ASSERT_EQ(request.kind(), Kind::kRanges);
  EXPECT_EQ(request.ranges(), (std::vector<LGRange>{{0, 10}, {90, 10}, {95, 5}, {95, 5}}));
  const auto partly = HTTPRangeRequest::parse("bytes=200-300,10-19", 100);
  ASSERT_EQ(partly.kind(), Kind::kRanges);
  EXPECT_EQ(partly.ranges(), (std::vector<LGRange>{{10, 10}}));

  EXPECT_EQ(HTTPRangeRequest::parse("bytes=100-", 100).kind(), Kind::kUnsatisfiable);
  EXPECT_EQ(HTTPRangeRequest::parse("bytes=-0", 100).kind(), Kind::kUnsatisfiable);
  EXPECT_EQ(HTTPRangeRequest::parse("bytes=-10", 0).kind(), Kind::kUnsatisfiable);
}

TEST(HTTPRangeRequestTest, AsksForTheWholeFileWhenTheHeaderCannotBeFollowed) {
  for (const char* header : {"items=0-1", "bytes=", "bytes=5-2", "bytes=a-b", "bytes=1-2-3", "bytes=-",
                             "bytes=99999999999999999999999-", "bytes=0-1;x"}) {
    EXPECT_EQ(HTTPRangeRequest::parse(header, 100).kind(), Kind::kWholeFile) << header;
  }
  EXPECT_EQ(HTTPRangeRequest::parse(std::nullopt, 100).kind(), Kind::kWholeFile);
  // So do lists long enough to multiply the bytes sent.
  std::string header = "bytes=0-99";
  for (std::size_t i = 1; i < HTTPRangeRequest::kMaximumRanges; ++i) {
    header += ",0-99";
  }
  EXPECT_EQ(HTTPRangeRequest::parse(header, 100).kind(), Kind::kRanges);
  EXPECT_EQ(HTTPRangeRequest::parse(header + ",0-99", 100).kind(), Kind::kWholeFile);
}

}  // namespace

}  // namespace embedded_server
