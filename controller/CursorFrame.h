// Where the keyboard cursor's frame goes: around one block of a bar, on the block's edges as the
// bar draws them, outside the block's own pixels. The one place that turns a block into pixels for
// the frontends' overlays.
#pragma once

#include <QRect>

namespace tarn::qt {

/// The frame's width, in pixels, on each side of the block.
inline constexpr int kCursorFrameWidth = 2;

/// The block (0 to 95) of a bar whose inner area is innerWidth x innerHeight, in the inner
/// area's coordinates: its left and right edges as the bar draws them, rounded half to even.
QRect CursorBlockRect(int block, int innerWidth, int innerHeight);

/// The cursor's frame around block of a bar whose inner area is inner, in the same coordinates.
QRect CursorFrameAround(int block, const QRect& inner);

}  // namespace tarn::qt
