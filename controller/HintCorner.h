// Where the time hint's label goes, for every Qt frontend: the controller says where the hint is
// anchored and on which side; the label's corner follows from its size.
#pragma once

#include <QPoint>
#include <QSize>
#include <algorithm>

namespace tarn::qt {

/// The top-left corner of a label of size label for a hint at anchor, in the control's
/// coordinates: below and right of the pointer (below), or just above the anchor, or under it
/// where there is no room above; kept inside a control of size control where the label fits.
inline QPoint HintCorner(QPoint anchor, bool below, QSize label, QSize control) {
    QPoint corner = below ? anchor + QPoint(12, 18) : anchor - QPoint(0, label.height() + 2);
    if (!below && corner.y() < 0) corner.setY(anchor.y() + 4);
    corner.setX(std::clamp(corner.x(), 0, std::max(0, control.width() - label.width())));
    corner.setY(std::clamp(corner.y(), 0, std::max(0, control.height() - label.height())));
    return corner;
}

}  // namespace tarn::qt
