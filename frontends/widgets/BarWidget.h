// A day bar as the user sees it: a frame with a 2-pixel sunken border around an off-screen image
// that holds the pixels the control draws, one image pixel per device pixel of the screen at the
// bar's pixel ratio, shown unscaled. The image shares alike rows (SharedRowImage), so a bar
// of any size costs memory for its width only; a paint turns only the area painted into a QImage.
// Mouse events go to the handler that the platform sets. A resize starts the pixels again from the
// background colour, but the screen goes on showing the last picture, stretched to the new size,
// until the control next draws into the bar: a window resized by dragging keeps its bars' pictures
// instead of flashing them grey while the control pauses after its layout. Drawing calls are
// compared, once they are done, with what the screen was last given, and only the pixels that
// changed are repainted: a redraw of all the bars that changes one block repaints that block.
#pragma once

#include <QFrame>
#include <QImage>
#include <functional>
#include <vector>

#include "pixels/PixelGdi.h"
#include "platform/Gdi.h"

namespace tarn::qt {

class BarWidget final : public QFrame {
    Q_OBJECT
public:
    explicit BarWidget(QWidget* parent);

    /// Receives every mouse press, move and release, and double-clicks as presses.
    std::function<void(QMouseEvent& event)> mouseHandler;

    /// A copy of the inner pixels, in device pixels with the bar's ratio set; resizing the bar
    /// starts them again from the background colour. Null while the inner area has no width or no
    /// height.
    QImage image() const;
    /// The colour of inner device pixel (x, y) as 0xFFRRGGBB; 0 outside the inner area.
    std::uint32_t pixelAt(int x, int y) const { return image_.PixelAt(x, y); }
    /// Device pixels per logical pixel of the inner pixels, 1 to 4.
    double PixelRatio() const { return pixelRatio_; }
    /// Keeps the inner pixels at a new ratio (the window moved to another screen): a new ratio
    /// starts them again from the background colour, as a new size does.
    void SetPixelRatio(double ratio);
    /// The inner pixels as they are kept, for measuring what they cost.
    const platform::SharedRowImage& storedImage() const { return image_; }
    /// The inner size in logical pixels: the outer size less the frame on both sides, never
    /// negative.
    QSize innerSize() const { return innerSize_; }
    /// The inner pixels for drawing; the bar shows what is drawn on its next paint.
    platform::SharedRowImage& DrawingImage();
    /// A dense view of the inner pixels for drawing, valid until the bar is resized.
    platform::PixelView DrawingView();
    /// Fills the inner pixels with the background colour.
    void Clear();
    /// Gives the image the bar's inner size at once, also while the bar is hidden (and so gets
    /// its resize event only when shown); a new size starts from the background colour.
    void SyncImageSize();
    /// Whether the screen shows the stretched picture from before a resize instead of the pixels.
    bool ShowsPictureBeforeResize() const { return !shownBeforeResize_.isNull(); }
    /// Asks for a repaint of what the drawing calls since the last comparison changed. Runs by
    /// itself, queued, after drawing; the control calls it as soon as a call into it is done.
    void ShowChanges();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void MarkChanged();
    void MarkDrawn();
    /// The inner area whose pixels differ from those last handed to the screen, which then
    /// become the current ones; the whole area after a resize or when the bar is too large to
    /// compare.
    QRect TakeChangedArea();
    /// The pixels as the screen shows them, made no larger than a screen needs.
    QImage ShownPicture() const;

    platform::SharedRowImage image_;
    QSize innerSize_{0, 0};
    double pixelRatio_ = 1.0;
    /// Whether a comparison with the pixels last shown is queued.
    bool changePending_ = false;
    /// The pixels last handed to the screen, each run of rows that share their pixels kept once:
    /// the pixels of row y start at shownRowStart_[y]. Empty when they are not known.
    std::vector<std::uint32_t> shownPixels_;
    std::vector<std::size_t> shownRowStart_;
    int shownWidth_ = 0;
    /// The picture shown until the next drawing call after a resize; null when the pixels show.
    QImage shownBeforeResize_;
};

}  // namespace tarn::qt
