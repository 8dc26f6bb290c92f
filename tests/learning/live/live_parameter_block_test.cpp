// The parameter block of the live-class framework, byte for byte: each text in its own field, cut at the
// field's size but never inside a UTF-8 character, and zeros everywhere else.

#include <gtest/gtest.h>

#include <string>

#include "learning/live/QMLiveParameterBlock.h"

namespace learning {
namespace {

using outside::ZebLiveParameterBlock;
using Bytes = QMLiveParameterBlock::Bytes;

std::shared_ptr<app::QMLiveModel> lessonWith(std::optional<std::string> providerId,
                                             std::optional<std::string> customer,
                                             std::optional<std::string> pass) {
  auto live = app::QMLiveModel::initWithServerData(ns::Value(ns::Dictionary{}));
  live->setLiveProviderId(std::move(providerId));
  live->setLiveCustomer(std::move(customer));
  live->setLiveP(std::move(pass));
  return live;
}

// The block expected for fields holding exactly `providerId`, `customer` and `pass`.
Bytes expectedBlock(const std::string& providerId, const std::string& customer, const std::string& pass) {
  Bytes block{};
  std::copy(providerId.begin(), providerId.end(), block.begin());
  std::copy(customer.begin(), customer.end(), block.begin() + 256);
  std::copy(pass.begin(), pass.end(), block.begin() + 1536);
  return block;
}

TEST(QMLiveParameterBlockTest, ShortTextsLieAtTheirOffsetsFollowedByZeros) {
  static_assert(sizeof(Bytes) == 2052);
  const Bytes block = QMLiveParameterBlock::blockFor(*lessonWith("room90013", "quillmark", "pass90013"));
  EXPECT_EQ(block, expectedBlock("room90013", "quillmark", "pass90013"));
  EXPECT_EQ(block[9], 0);
  EXPECT_EQ(block[256], 'q');
  EXPECT_EQ(block[1536], 'p');

  // A missing text leaves its field zero.
  EXPECT_EQ(QMLiveParameterBlock::blockFor(*lessonWith(std::nullopt, "c", std::nullopt)),
            expectedBlock("", "c", ""));
}

TEST(QMLiveParameterBlockTest, AProviderIdOf256BytesFillsItsFieldWithoutAZeroByte) {
  const std::string id(256, 'x');
  const Bytes block = QMLiveParameterBlock::blockFor(*lessonWith(id, "quillmark", "p"));
  EXPECT_EQ(block, expectedBlock(id, "quillmark", "p"));
  EXPECT_EQ(block[255], 'x');
  EXPECT_EQ(block[256], 'q') << "the customer follows at once";
  EXPECT_EQ(ZebLiveParameterBlock::textOf(block, ZebLiveParameterBlock::kProviderId), id);
}

// A longer text is cut at its field's size; the next field holds its own text and then zeros, never the rest
// of the cut text.
TEST(QMLiveParameterBlockTest, ALongerTextIsCutAtItsFieldAndNeverRunsIntoTheNext) {
  std::string id;
  for (int index = 0; index < 300; ++index) {
    id.push_back(static_cast<char>('a' + index % 26));
  }
  const std::string customer(300, 'c');
  const std::string pass(600, 'p');
  const Bytes block = QMLiveParameterBlock::blockFor(*lessonWith(id, "quillmark", pass));
  EXPECT_EQ(block, expectedBlock(id.substr(0, 256), "quillmark", pass.substr(0, 512)));
  for (std::size_t index = 256 + 9; index < 1536; ++index) {
    ASSERT_EQ(block[index], 0) << "byte " << index;
  }
  for (std::size_t index = 2048; index < 2052; ++index) {
    EXPECT_EQ(block[index], 0) << "byte " << index;
  }
  // A long customer stops at the zeros of the middle.
  EXPECT_EQ(QMLiveParameterBlock::blockFor(*lessonWith("r", customer, "p")),
            expectedBlock("r", customer.substr(0, 256), "p"));
}

TEST(QMLiveParameterBlockTest, ACutNeverFallsInsideAUtf8Character) {
  // "讲" takes 3 bytes, "𝄞" 4: at 254 bytes, "讲" would end at 257, so it is left out whole.
  const std::string id = std::string(254, 'a') + "讲";
  EXPECT_EQ(QMLiveParameterBlock::blockFor(*lessonWith(id, "c", "p")),
            expectedBlock(std::string(254, 'a'), "c", "p"));
  // Ending exactly at the field's end, a character is kept whole.
  const std::string fits = std::string(253, 'a') + "讲";
  EXPECT_EQ(QMLiveParameterBlock::blockFor(*lessonWith(fits, "c", "p")), expectedBlock(fits, "c", "p"));
  // Cuts one, two and three bytes into a four-byte character.
  for (std::size_t lead = 509; lead <= 511; ++lead) {
    const std::string pass = std::string(lead, 'p') + "𝄞" + "tail";
    EXPECT_EQ(QMLiveParameterBlock::blockFor(*lessonWith("r", "c", pass)),
              expectedBlock("r", "c", std::string(lead, 'p')))
        << lead;
  }
  // A text of multi-byte characters only is cut at the last whole one.
  std::string customer;
  for (int index = 0; index < 100; ++index) {
    customer += "课";
  }
  const Bytes block = QMLiveParameterBlock::blockFor(*lessonWith("r", customer, "p"));
  EXPECT_EQ(block, expectedBlock("r", customer.substr(0, 255), "p"));
  EXPECT_EQ(block[256 + 255], 0);
}

}  // namespace
}  // namespace learning
