// What the control shows over its bars without drawing into them: the keyboard cursor, a frame
// around one block of the focused bar, outside the block's own pixels, and the time hint, a small
// label near the pointer or the cursor, which follows the pointer at the cost of one move and one
// paint of its own: it keeps its sizes and never lays itself out. Both are children of the control,
// above the bars and transparent for the mouse, so the bars' pixels never carry them and the
// pointer reaches the bars under them.
#pragma once

#include <QHash>
#include <QStaticText>
#include <QWidget>

namespace tarn::qt {

class CursorOverlay final : public QWidget {
    Q_OBJECT
public:
    /// The frame's width, in pixels, on each side of the block.
    static constexpr int kFrameWidth = 2;

    explicit CursorOverlay(QWidget& control);

    /// Shows the cursor's frame at frame (the control's coordinates) in colour, or hides it for an
    /// empty frame.
    void ShowFrame(const QRect& frame, const QColor& colour);
    /// The frame in the control's coordinates; empty while hidden.
    QRect CursorRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

class HintLabel final : public QWidget {
    Q_OBJECT
public:
    explicit HintLabel(QWidget& control);

    /// Shows text with its corner near anchor (the control's coordinates), inside the control; an
    /// empty text hides the label. below: under the anchor, else above it.
    void ShowText(const QString& text, QPoint anchor, bool below);
    /// The text shown, or last shown while hidden.
    QString text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// The label's size for text, from a cache by the text's shape.
    QSize SizeFor(const QString& text) const;

    QString text_;
    /// Sizes by text with every digit replaced by the font's widest one: a hint's text changes
    /// its digits on nearly every move, its shape seldom, and its size follows the shape.
    mutable QHash<QString, QSize> sizes_;
    mutable QChar widestDigit_;
    /// Texts laid out once: a hover back and forth over a bar shows the same few dozen again.
    QHash<QString, QStaticText> laidOut_;
};

}  // namespace tarn::qt
