#include "platform/foundation/crypto/Random.h"

#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/foundation/crypto/OpenSslFailure.h"

namespace ns {

Data randomBytes(std::size_t count) {
  Data bytes(count);
  // RAND_bytes takes an int count, so a very large request is filled in slices.
  for (std::size_t filled = 0; filled < count;) {
    const std::size_t slice = std::min<std::size_t>(count - filled, INT_MAX);
    if (RAND_bytes(bytes.data() + filled, static_cast<int>(slice)) != 1) {
      abortOnOpenSslFailure("RAND_bytes");
    }
    filled += slice;
  }
  return bytes;
}

std::uint32_t randomUInt32() {
  const Data bytes = randomBytes(sizeof(std::uint32_t));
  std::uint32_t number = 0;
  std::memcpy(&number, bytes.data(), sizeof number);
  return number;
}

std::uint32_t randomUniform(std::uint32_t upperBound) {
  if (upperBound == 0) {
    return 0;
  }
  // 2^32 mod upperBound: numbers below it would make the low remainders slightly more likely.
  const std::uint32_t threshold = (0u - upperBound) % upperBound;
  std::uint32_t number = randomUInt32();
  while (number < threshold) {
    number = randomUInt32();
  }
  return number % upperBound;
}

}  // namespace ns
