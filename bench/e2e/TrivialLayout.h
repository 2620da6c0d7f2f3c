// Where the trivial target puts its widgets, in its window's pixels, so that the probe knows where
// to click without reading them from the screen. Both programs include this header.
#pragma once

namespace tarn::e2e {

/// The window, moved to the top left corner of the screen by the probe.
inline constexpr int kTrivialWidth = 400;
inline constexpr int kTrivialHeight = 240;

/// The pad: white, with a black 10x10 square centred on the last press.
inline constexpr int kPadLeft = 20, kPadTop = 20, kPadWidth = 360, kPadHeight = 100;
inline constexpr int kMarkSide = 10;

/// The buttons that turn the swatch green (On) and red (Off).
inline constexpr int kOnLeft = 20, kButtonTop = 150, kButtonWidth = 120, kButtonHeight = 40;
inline constexpr int kOffLeft = 160;
inline constexpr int kSwatchLeft = 300, kSwatchTop = 150, kSwatchSide = 40;

}  // namespace tarn::e2e
