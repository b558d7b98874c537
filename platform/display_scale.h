// Skin pixels and device pixels: the program lays its faces out in skin
// pixels (1/96 inch, 15 twips); a display of another density shows each
// as dpi / 96 of its own pixels.
#pragma once

#include <cstdint>

namespace corvale {

constexpr int kSkinDpi = 96;
constexpr int kTwipsPerSkinPixel = 1440 / kSkinDpi;

constexpr std::int64_t FloorDivision(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The device pixel where skin pixel `skin` begins: skin x dpi / 96 to the
// nearest, halves up. A span of skin pixels [a, b) covers the device
// pixels [SkinToDevice(a), SkinToDevice(b)), so neighbours still touch.
constexpr std::int64_t SkinToDevice(std::int64_t skin, int dpi) {
    return FloorDivision(skin * dpi + kSkinDpi / 2, kSkinDpi);
}

// The skin pixel whose device pixels hold `device`: the inverse of
// SkinToDevice, so that every device pixel of a control reads back as one
// of the control's skin pixels.
constexpr std::int64_t DeviceToSkin(std::int64_t device, int dpi) {
    return dpi <= 0 ? device : FloorDivision(device * kSkinDpi + kSkinDpi / 2 - 1, dpi);
}

}  // namespace corvale
