// Where the keyboard cursor's frame goes: around one block of a bar, on the block's edges as the
// bar draws them at its pixel ratio, outside the block's own pixels.
#pragma once

#include <QRect>

namespace tarn::qt {

/// The frame's width, in logical pixels, on each side of the block.
inline constexpr int kCursorFrameWidth = 2;

/// The cursor's frame around block (0 to 95) of a bar whose inner area is inner, drawn at ratio
/// device pixels per logical one, in the inner area's coordinates: the logical columns that hold
/// the block's device columns, widened by the frame on every side.
QRect CursorFrameAround(int block, const QRect& inner, double ratio);

}  // namespace tarn::qt
