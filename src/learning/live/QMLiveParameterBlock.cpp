#include "learning/live/QMLiveParameterBlock.h"

#include <algorithm>

namespace learning {

namespace {

bool isContinuationByte(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

QMLiveParameterBlock::Bytes QMLiveParameterBlock::blockFor(const app::QMLiveModel& live) {
  Bytes block{};
  copyText(block, outside::ZebLiveParameterBlock::kProviderId, live.liveProviderId());
  copyText(block, outside::ZebLiveParameterBlock::kCustomer, live.liveCustomer());
  copyText(block, outside::ZebLiveParameterBlock::kPass, live.liveP());
  return block;
}

std::size_t QMLiveParameterBlock::fittingLength(std::string_view text, std::size_t size) {
  if (text.size() <= size) {
    return text.size();
  }
  // The byte just past the cut begins a character unless it continues one; back off to that character's
  // first byte.
  std::size_t length = size;
  while (length > 0 && isContinuationByte(text[length])) {
    --length;
  }
  return length;
}

void QMLiveParameterBlock::copyText(Bytes& block, outside::ZebLiveParameterField field,
                                    const std::optional<std::string>& text) {
  if (!text) {
    return;
  }
  const std::size_t length = fittingLength(*text, field.size);
  std::copy_n(text->begin(), length, block.begin() + static_cast<std::ptrdiff_t>(field.offset));
}

}  // namespace learning
