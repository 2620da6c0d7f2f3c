#include "controller/CursorFrame.h"

#include <algorithm>

#include "render/BlockGeometry.h"

namespace tarn::qt {

QRect CursorFrameAround(int block, const QRect& inner, double ratio) {
    block = std::clamp(block, 0, 95);
    const render::BarGeometry geometry(inner.width(), inner.height(), ratio);
    const int left = geometry.LogicalLeft(block);
    const int right = std::max(geometry.LogicalRight(block), left + 1);
    const int w = kCursorFrameWidth;
    return QRect(inner.left() + left, inner.top(), right - left, inner.height())
        .adjusted(-w, -w, w, w);
}

}  // namespace tarn::qt
