// What the control shows over its bars without drawing into them: the keyboard cursor, a frame
// around one block of the focused bar, outside the block's own pixels, and the time hint, a small
// label near the pointer or the cursor. Both are children of the control, above the bars and
// transparent for the mouse, so the bars' pixels never carry them and the pointer reaches the bars
// under them.
#pragma once

#include <QLabel>
#include <QWidget>

namespace tarn::qt {

class BarWidget;

/// The frame of block (0 to 95) from an inner width: the block's left and right edges as the bar
/// draws them, rounded half to even, so the frame lies on the block's own pixels.
QRect CursorBlockRect(int block, int innerWidth, int innerHeight);

class CursorOverlay final : public QWidget {
    Q_OBJECT
public:
    /// The frame's width, in pixels, on each side of the block.
    static constexpr int kFrameWidth = 2;

    explicit CursorOverlay(QWidget& control);

    /// Shows the cursor on block of bar in colour, or hides it for a null bar.
    void ShowOn(BarWidget* bar, int block, const QColor& colour);
    /// The frame in the control's coordinates; empty while hidden.
    QRect CursorRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int block_ = 0;
    QColor colour_;
};

class HintLabel final : public QLabel {
    Q_OBJECT
public:
    explicit HintLabel(QWidget& control);

    /// Shows text with its corner near anchor (the control's coordinates), inside the control; an
    /// empty text hides the label. below: under the anchor, else above it.
    void ShowText(const QString& text, QPoint anchor, bool below);
};

}  // namespace tarn::qt
