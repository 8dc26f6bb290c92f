#pragma once

// QMLiveParameterBlock: the entry parameters of a live lesson as the live-class framework reads them
// (platform/outside/ZebLiveParameterBlock.h): the lesson's provider id, customer and pass, each as UTF-8 in
// its own field, and zeros everywhere else.
//
// A text longer than its field is cut at the field's size, and never inside a UTF-8 character: the cut falls
// back to the character's first byte, and the bytes left over stay zero. A text that fills its field exactly
// has no zero byte after it, and the next field still holds only its own text. A missing text leaves its
// field zero.
//
// Thread-safety: pure functions.

#include <optional>
#include <string>
#include <string_view>

#include "app/course/QMLiveModel.h"
#include "platform/outside/ZebLiveParameterBlock.h"

namespace learning {

class QMLiveParameterBlock {
 public:
  using Bytes = outside::ZebLiveParameterBlock::Bytes;

  // Returns the block of `live`'s entry parameters: liveProviderId, liveCustomer and liveP.
  static Bytes blockFor(const app::QMLiveModel& live);

  // Returns how many bytes of `text` fit in `size` bytes without cutting a UTF-8 character.
  static std::size_t fittingLength(std::string_view text, std::size_t size);

 private:
  static void copyText(Bytes& block, outside::ZebLiveParameterField field,
                       const std::optional<std::string>& text);
};

}  // namespace learning
