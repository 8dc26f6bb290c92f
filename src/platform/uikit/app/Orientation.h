#pragma once

// Orientations of the device and of the interface, with the platform's numbering, which screens compare with
// plain numbers (a device orientation of 3 or 4 is landscape; a supported-orientation mask of 26 is portrait
// and both landscapes). Plain values; thread-safe.

#include <cstdint>

namespace uikit {

enum class DeviceOrientation : int {
  kUnknown = 0,
  kPortrait = 1,
  kPortraitUpsideDown = 2,
  kLandscapeLeft = 3,
  kLandscapeRight = 4,
  kFaceUp = 5,
  kFaceDown = 6,
};

// The interface turns against the device, so the device's landscape left is the interface's landscape right.
enum class InterfaceOrientation : int {
  kUnknown = 0,
  kPortrait = 1,
  kPortraitUpsideDown = 2,
  kLandscapeLeft = 4,
  kLandscapeRight = 3,
};

// A set of interface orientations: bit n stands for the orientation numbered n.
using InterfaceOrientationMask = std::uint32_t;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskPortrait = 1u << 1;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskPortraitUpsideDown = 1u << 2;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskLandscapeRight = 1u << 3;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskLandscapeLeft = 1u << 4;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskLandscape =
    kInterfaceOrientationMaskLandscapeLeft | kInterfaceOrientationMaskLandscapeRight;
inline constexpr InterfaceOrientationMask kInterfaceOrientationMaskAllButUpsideDown =
    kInterfaceOrientationMaskPortrait | kInterfaceOrientationMaskLandscape;

// The bit of `orientation` in a mask.
constexpr InterfaceOrientationMask maskOf(InterfaceOrientation orientation) {
  return 1u << static_cast<int>(orientation);
}

// The interface orientation that follows the device's, or kUnknown for flat and unknown device orientations.
constexpr InterfaceOrientation interfaceOrientationFor(DeviceOrientation orientation) {
  switch (orientation) {
    case DeviceOrientation::kPortrait:
      return InterfaceOrientation::kPortrait;
    case DeviceOrientation::kPortraitUpsideDown:
      return InterfaceOrientation::kPortraitUpsideDown;
    case DeviceOrientation::kLandscapeLeft:
      return InterfaceOrientation::kLandscapeRight;
    case DeviceOrientation::kLandscapeRight:
      return InterfaceOrientation::kLandscapeLeft;
    default:
      return InterfaceOrientation::kUnknown;
  }
}

}  // namespace uikit
