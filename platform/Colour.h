// Colours of the drawing interface: 0xRRGGBB values, and the classic 16-colour palette that the
// control picks its colours from by index.
#pragma once

#include <cstdint>

namespace tarn::platform {

/// A colour as 0xRRGGBB.
using ColourRef = std::uint32_t;

/// Palette indices the control draws with.
inline constexpr int kPaletteBlack = 0;
inline constexpr int kPaletteLightGreen = 10;
inline constexpr int kPaletteLightRed = 12;
inline constexpr int kPaletteBrightWhite = 15;

/// The colour of a classic 16-colour palette index (0 to 15); any other index wraps into it.
constexpr ColourRef QBColor(int index) {
    constexpr ColourRef palette[16] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    return palette[index & 15];
}

/// The background of a cleared bar and of the control's surface: the classic button face.
inline constexpr ColourRef kBackgroundColour = 0xC0C0C0;

/// A pixel as stored in the pixel buffers (0xFFRRGGBB, the layout of a 32-bit RGB image).
constexpr std::uint32_t PixelOf(ColourRef colour) {
    return 0xFF000000u | (colour & 0xFFFFFFu);
}

/// The colour of a stored pixel.
constexpr ColourRef ColourOf(std::uint32_t pixel) {
    return pixel & 0xFFFFFFu;
}

}  // namespace tarn::platform
