// The items the editor is made of, besides the Controls buttons: the day bars, which keep the
// pixels the control draws (SharedRowImage, one pixel per device pixel at the bar's ratio) inside a
// 2-pixel sunken frame; the texts the control writes on its own surface; and what shows over the
// bars without being drawn into them, the keyboard cursor's frame and the time hint. Each item
// shows only the part of it inside the window, painted at the window's device pixel ratio into one
// texture, so an item far larger than its window costs no more than the window.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QQuickItem>
#include <QRect>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "pixels/PixelGdi.h"
#include "platform/Widgets.h"

class QPainter;

namespace tarn::quick {

/// The node that shows the part of item inside its window, painted by paint in the item's logical
/// coordinates; null when none of it is inside. Called from updatePaintNode.
QSGNode* PaintedNode(QQuickItem& item, QSGNode* old, const std::function<void(QPainter&)>& paint);

/// The Qt Quick palette item has (its own, else its parent's or its window's, else the
/// application's) as a QPalette. Read on the GUI thread: the items keep a copy to paint with.
QPalette PaletteOf(QQuickItem& item);

class BarItem final : public QQuickItem {
    Q_OBJECT
    // A slider over the 96 blocks for screen readers, which read these by name: its value is the
    // keyboard cursor's block.
    Q_PROPERTY(int value READ value NOTIFY valueChanged)
    Q_PROPERTY(int minimumValue READ minimumValue CONSTANT)
    Q_PROPERTY(int maximumValue READ maximumValue CONSTANT)
    Q_PROPERTY(int stepSize READ stepSize CONSTANT)
public:
    explicit BarItem(QQuickItem* parent);

    /// Receive the pointer, the keys and the focus of the bar. A touch reaches it as the left
    /// mouse button: a drag along the bar from where it began, a tap as a press and release.
    std::function<void(QEvent& event)> handler;

    /// The colour of inner device pixel (x, y) as 0xFFRRGGBB; 0 outside the inner area.
    std::uint32_t pixelAt(int x, int y) const { return image_.PixelAt(x, y); }
    double PixelRatio() const { return pixelRatio_; }
    /// Keeps the inner pixels at a new ratio; a new ratio starts them from the background colour.
    void SetPixelRatio(double ratio);
    QSize innerSize() const { return innerSize_; }
    platform::SharedRowImage& DrawingImage();
    platform::PixelView DrawingView();
    void Clear();
    /// Gives the pixels the bar's inner size; a new size starts from the background colour.
    void SyncImageSize();
    /// Asks for a repaint when the pixels were drawn into since the last one.
    void ShowChanges();
    /// The colours of the bar's frame.
    void SetPalette(const QPalette& palette);

    /// Takes the touch point for the bar once it has gone along the bar: further across than
    /// down, by half the distance that starts a drag. The editor calls it for every touch update
    /// before a Flickable above it sees the update, so that a swipe whose first step is longer
    /// than the distance at which a Flickable takes a drag stays with the bar.
    void ClaimTouchAlong(const QTouchEvent& event);

    int value() const { return value_; }
    void SetValue(int block);
    static int minimumValue() { return 0; }
    static int maximumValue() { return 95; }
    static int stepSize() { return 1; }

Q_SIGNALS:
    void valueChanged();

protected:
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    bool event(QEvent* event) override;
    /// A touch point is the bar's only once it goes along the bar: until then a Flickable that
    /// holds the editor may take it to scroll.
    void touchEvent(QTouchEvent* event) override;
    void touchUngrabEvent() override;

private:
    void Paint(QPainter& painter);
    /// Hands a touch to the handler as the left mouse button at at.
    void TouchAsMouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers);
    void EndTouch();
    /// Whether the touch point, now at at, went along the bar; it is the bar's from then on.
    bool ClaimsAt(QPointF at);

    struct Touch {
        bool tracking = false;
        bool claimed = false;  // the drag went along the bar: the bar holds the point
        bool along = false;    // and the control has been told of it as a press
        int id = -1;
        QPointF start;
        QPointF last;
        Qt::KeyboardModifiers modifiers;
    };
    Touch touch_;

    platform::SharedRowImage image_;
    QPalette palette_;
    QSize innerSize_{0, 0};
    double pixelRatio_ = 1.0;
    bool drawn_ = false;
    int value_ = 0;
};

/// The control's surface: the texts drawn on it since it was last cleared. The editor paints them
/// over its background.
class SurfaceText final : public platform::ControlSurface {
public:
    struct Text {
        std::int32_t x;
        std::int32_t y;
        std::string text;
        bool operator==(const Text&) const = default;
    };

    explicit SurfaceText(QQuickItem& editor) : editor_(editor), context_(*this) {}

    platform::DeviceContext& hDC() override { return context_; }
    void Clear() override;
    double Width() override { return editor_.width(); }
    double Height() override { return editor_.height(); }

    const std::vector<Text>& texts() const { return texts_; }
    /// Paints the background and the texts in font.
    void Paint(QPainter& painter, const QFont& font, const QColor& background, const QColor& ink);
    /// Asks for a repaint of the editor when the texts changed since the last one.
    void ShowChanges();

private:
    class Context final : public platform::DeviceContext {
    public:
        explicit Context(SurfaceText& surface) : surface_(surface) {}
        platform::PixelView Pixels() override;
        void DrawText(std::int32_t x, std::int32_t y, std::string_view text) override;
        int Target() const override { return kSurfaceTarget; }

    private:
        SurfaceText& surface_;
    };

    QQuickItem& editor_;
    Context context_;
    /// Pixels drawn into the surface; null until a caller asks for them.
    QImage pixels_;
    std::vector<Text> texts_;
    std::vector<Text> shown_;
    bool cleared_ = false;
};

/// The keyboard cursor: a frame around one block of the focused bar.
class CursorItem final : public QQuickItem {
    Q_OBJECT
public:
    static constexpr int kFrameWidth = 2;
    explicit CursorItem(QQuickItem* parent);
    /// Shows the frame at frame (the editor's coordinates) in colour; an empty frame hides it.
    void ShowFrame(const QRect& frame, const QColor& colour);

protected:
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;

private:
    QColor colour_;
};

/// The time hint: a small framed label near the pointer or the cursor, named "hint"; its text
/// is readable as a property while it is visible.
class HintItem final : public QQuickItem {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
public:
    explicit HintItem(QQuickItem* parent);
    /// Shows text with its corner near anchor (the editor's coordinates), inside the editor; an
    /// empty text hides it. below: under the anchor, else above it.
    void ShowText(const QString& text, QPoint anchor, bool below);
    QString text() const { return text_; }
    /// Its colours: the palette's tool tip colours.
    void SetPalette(const QPalette& palette);

protected:
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;

private:
    QString text_;
    QPalette palette_;
};

}  // namespace tarn::quick
