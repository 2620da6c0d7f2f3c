// The pixel geometry of a day bar's blocks: 96 blocks across the inner width, three bands down the
// inner height. Edges come from a left-edge accumulator rounded half to even, so neighbouring
// blocks share their edge and the fills tile the bar exactly.
#pragma once

#include <algorithm>
#include <cmath>

#include "model/Arithmetic.h"
#include "platform/Gdi.h"

namespace tarn::render {

inline constexpr int kBands = 3;
inline constexpr int kTopBand = 0;
inline constexpr int kMiddleBand = 1;
inline constexpr int kBottomBand = 2;

/// The rectangle of the block whose left edge accumulator is x, block width w, band height h.
inline platform::RECT BlockRect(double x, double w, double h, int band) {
    platform::RECT rect;
    rect.Left = RoundToInt32(x);
    rect.Top = RoundToInt32(h * band);
    rect.right = RoundToInt32(x + w);
    rect.bottom = RoundToInt32(rect.Top + h);
    return rect;
}

/// The block (0 to 95) under X on a bar of inner width W, or -1 when X hits no block. Block i
/// holds lo <= X < hi with lo = i * W/96 and hi = (i + 1) * W/96, each rounded to single
/// precision; X outside the bar, NaN or infinite hits nothing.
inline int BlockUnder(double W, float X) {
    const double w = W / 96.0;
    if (!(w > 0.0) || !std::isfinite(w)) return -1;
    if (!(X >= 0.0f)) return -1;  // negative or NaN
    // Start from the estimate and settle on the block whose single-precision bounds hold X.
    const double estimate = static_cast<double>(X) / w;
    if (!(estimate < 97.0)) return -1;
    const int guess = static_cast<int>(std::floor(estimate));
    for (int i = std::max(0, guess - 1); i <= std::min(95, guess + 1); ++i) {
        const float lo = static_cast<float>(i * w);
        const float hi = static_cast<float>((i + 1) * w);
        if (lo <= X && X < hi) return i;
    }
    return -1;
}

/// The block under X in a drag on a bar of inner width W: as BlockUnder, but a pointer left of
/// the first block counts as block 0 and one right of the last as block 95, however far it went,
/// so that a quick drag out past an end reaches that end. NaN, and a bar without blocks, hit
/// nothing.
inline int BlockUnderInDrag(double W, float X) {
    const int hit = BlockUnder(W, X);
    const double w = W / 96.0;
    if (hit >= 0 || !(w > 0.0) || !std::isfinite(w)) return hit;
    if (X < 0.0f) return 0;
    if (X >= static_cast<float>(96 * w)) return 95;
    return -1;
}

}  // namespace tarn::render
