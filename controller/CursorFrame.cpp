#include "controller/CursorFrame.h"

#include <algorithm>

#include "model/Arithmetic.h"

namespace tarn::qt {

namespace {

int BlockEdge(int block, int innerWidth) {
    return static_cast<int>(RoundHalfEven(block * (innerWidth / 96.0)));
}

}  // namespace

QRect CursorBlockRect(int block, int innerWidth, int innerHeight) {
    block = std::clamp(block, 0, 95);
    const int left = BlockEdge(block, innerWidth);
    const int right = BlockEdge(block + 1, innerWidth);
    return QRect(left, 0, std::max(1, right - left), innerHeight);
}

QRect CursorFrameAround(int block, const QRect& inner) {
    const int w = kCursorFrameWidth;
    return CursorBlockRect(block, inner.width(), inner.height())
        .translated(inner.topLeft())
        .adjusted(-w, -w, w, w);
}

}  // namespace tarn::qt
