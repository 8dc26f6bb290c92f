#pragma once

// outside::ZebLiveParameterBlock: the fixed-size block of entry parameters that the live-class framework
// (ZebLiveSDK.h) reads when it opens a class: 2,052 bytes holding three texts as UTF-8 at fixed offsets, each
// followed by zero bytes up to its field's end when it is shorter, and zeros everywhere else. A text that
// fills its field has no terminating zero byte.
//
// Thread-safety: constants and pure functions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace outside {

// Where one text lies in the block.
struct ZebLiveParameterField {
  std::size_t offset;
  std::size_t size;
};

class ZebLiveParameterBlock {
 public:
  static constexpr std::size_t kSize = 2052;
  using Bytes = std::array<std::uint8_t, kSize>;

  // The classroom (the provider's id of the lesson).
  static constexpr ZebLiveParameterField kProviderId{0, 256};
  // The customer the provider knows the application by.
  static constexpr ZebLiveParameterField kCustomer{256, 256};
  // The lesson's pass for the provider. Bytes 512 to 1535 and the last four stay zero.
  static constexpr ZebLiveParameterField kPass{1536, 512};

  // Returns the text of `field` in `block`: its bytes up to the first zero byte, or the whole field when it
  // holds none.
  static std::string textOf(const Bytes& block, ZebLiveParameterField field);
};

}  // namespace outside
