#include "frontends/widgets/BarWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "platform/Colour.h"
#include "platform/DesignData.h"
#include "platform/PixelRatio.h"

namespace tarn::qt {

BarWidget::BarWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(design::kBarBorder);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

QImage BarWidget::image() const {
    QImage copy(image_.width(), image_.height(), QImage::Format_RGB32);
    for (int y = 0; y < copy.height(); ++y)
        std::copy_n(image_.Row(y), copy.width(),
                    reinterpret_cast<std::uint32_t*>(copy.scanLine(y)));
    copy.setDevicePixelRatio(pixelRatio_);
    return copy;
}

void BarWidget::SetPixelRatio(double ratio) {
    ratio = platform::UsableRatio(ratio);
    if (ratio == pixelRatio_) return;
    pixelRatio_ = ratio;
    innerSize_ = QSize(-1, -1);  // the image takes its new device size below
    SyncImageSize();
}

platform::SharedRowImage& BarWidget::DrawingImage() {
    MarkDrawn();
    return image_;
}

platform::PixelView BarWidget::DrawingView() {
    MarkDrawn();
    if (innerSize_.isEmpty())
        // An inner area without width or height keeps its other side; nothing lies in it.
        return platform::PixelView{nullptr, image_.width(), image_.height(), image_.width()};
    return image_.Dense();
}

void BarWidget::Clear() {
    image_.Fill(0, 0, image_.width(), image_.height(),
                platform::PixelOf(platform::kBackgroundColour));
    MarkDrawn();
}

void BarWidget::MarkDrawn() {
    // From the first drawing call on, the screen shows the pixels again, all of them.
    if (!shownBeforeResize_.isNull()) {
        shownBeforeResize_ = QImage();
        shownRowStart_.clear();
    }
    MarkChanged();
}

void BarWidget::MarkChanged() {
    // One comparison, queued behind the drawing calls of the event being handled, covers them all.
    if (changePending_) return;
    changePending_ = true;
    QMetaObject::invokeMethod(this, &BarWidget::ShowChanges, Qt::QueuedConnection);
}

void BarWidget::ShowChanges() {
    if (!changePending_) return;
    changePending_ = false;
    const QRect changed = TakeChangedArea();
    if (changed.isEmpty()) return;
    // The changed device pixels, as the logical area that covers them.
    const double r = pixelRatio_;
    const QRect logical = QRectF(changed.left() / r, changed.top() / r, changed.width() / r,
                                 changed.height() / r)
                              .toAlignedRect();
    update(logical.translated(contentsRect().topLeft()));
}

QRect BarWidget::TakeChangedArea() {
    const int width = image_.width();
    const int height = image_.height();
    const QRect whole(0, 0, width, height);
    const bool known =
        shownWidth_ == width && shownRowStart_.size() == static_cast<std::size_t>(height);
    // Rows that share their pixels are compared and kept once; a bar with more distinct pixels
    // than this is shown whole, uncompared.
    constexpr std::size_t kMaxKeptPixels = std::size_t{1} << 21;
    std::vector<std::uint32_t> pixels;
    std::vector<std::size_t> rowStart(static_cast<std::size_t>(height));
    int left = width, right = -1, top = height, bottom = -1;
    const std::uint32_t* above = nullptr;
    bool aboveDiffers = false;
    for (int y = 0; y < height; ++y) {
        const auto row = static_cast<std::size_t>(y);
        const std::uint32_t* pixelsOfRow = image_.Row(y);
        const bool sharedWithAbove = pixelsOfRow == above;
        if (sharedWithAbove) {
            rowStart[row] = rowStart[row - 1];
        } else {
            if (pixels.size() + static_cast<std::size_t>(width) > kMaxKeptPixels) {
                shownPixels_.clear();
                shownRowStart_.clear();
                return whole;
            }
            rowStart[row] = pixels.size();
            pixels.insert(pixels.end(), pixelsOfRow, pixelsOfRow + width);
        }
        above = pixelsOfRow;
        if (!known) continue;
        const std::size_t shownStart = shownRowStart_[row];
        if (sharedWithAbove && y > 0 && shownStart == shownRowStart_[row - 1]) {
            // The same pixels on both sides as the row above: the same answer.
            if (aboveDiffers) bottom = y;
            continue;
        }
        const std::uint32_t* shown = shownPixels_.data() + shownStart;
        int first = 0;
        while (first < width && pixelsOfRow[first] == shown[first])
            ++first;
        aboveDiffers = first < width;
        if (!aboveDiffers) continue;
        int last = width - 1;
        while (pixelsOfRow[last] == shown[last])
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    shownPixels_ = std::move(pixels);
    shownRowStart_ = std::move(rowStart);
    shownWidth_ = width;
    if (!known) return whole;
    if (right < 0) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void BarWidget::paintEvent(QPaintEvent* event) {
    {
        // The bar paints all of its pixels itself: on a scaled screen the frame's lines leave
        // device pixels between them, which would keep whatever was shown there before (the
        // keyboard cursor's frame, which lies over the border).
        QPainter background(this);
        background.setClipRegion(event->region() - contentsRect());
        background.fillRect(rect(), palette().color(backgroundRole()));
    }
    // The frame only when some of it is to be painted: the hint moving over the bar exposes
    // inner pixels alone, and the style's frame costs more than they do.
    if (!contentsRect().contains(event->rect())) QFrame::paintEvent(event);
    // Only the part of the inner area being painted is turned into an image, a strip of rows at
    // a time: a bar far larger than its window costs no more to show than the window.
    if (!shownBeforeResize_.isNull()) {
        QPainter painter(this);
        painter.drawImage(contentsRect(), shownBeforeResize_);
        return;
    }
    // The device pixels under the logical area being painted, shown one to one.
    const QPoint origin = contentsRect().topLeft();
    const QRectF logical = QRectF(event->rect().translated(-origin));
    const double r = pixelRatio_;
    const QRect area =
        QRect(QPoint(static_cast<int>(std::floor(logical.left() * r)),
                     static_cast<int>(std::floor(logical.top() * r))),
              QPoint(static_cast<int>(std::ceil((logical.left() + logical.width()) * r)) - 1,
                     static_cast<int>(std::ceil((logical.top() + logical.height()) * r)) - 1))
            .intersected(QRect(0, 0, image_.width(), image_.height()));
    if (area.isEmpty()) return;
    constexpr int kStripPixels = 1 << 18;
    const int stripRows = std::max(1, kStripPixels / area.width());
    QPainter painter(this);
    for (int top = area.top(); top <= area.bottom(); top += stripRows) {
        const int rows = std::min(stripRows, area.bottom() + 1 - top);
        QImage strip(area.width(), rows, QImage::Format_RGB32);
        for (int y = 0; y < rows; ++y)
            std::copy_n(image_.Row(top + y) + area.left(), area.width(),
                        reinterpret_cast<std::uint32_t*>(strip.scanLine(y)));
        strip.setDevicePixelRatio(r);
        painter.drawImage(QPointF(origin) + QPointF(area.left() / r, top / r), strip);
    }
}

void BarWidget::SyncImageSize() {
    const int border = design::kBarBorder;
    const QSize inner(std::max(0, width() - 2 * border), std::max(0, height() - 2 * border));
    if (inner == innerSize_) return;
    // The first resize since the last drawing keeps what the screen shows; later ones stretch
    // that same picture again rather than a stretched copy of it.
    if (shownBeforeResize_.isNull()) shownBeforeResize_ = ShownPicture();
    innerSize_ = inner;
    image_.Reset(platform::DeviceLength(inner.width(), pixelRatio_),
                 platform::DeviceLength(inner.height(), pixelRatio_),
                 platform::PixelOf(platform::kBackgroundColour));
    shownRowStart_.clear();
    MarkChanged();
}

QImage BarWidget::ShownPicture() const {
    // A bar far larger than any screen keeps a sample of its rows and columns: the picture is only
    // ever shown stretched, and a copy of every pixel could cost far more than the bar's own
    // shared rows.
    constexpr int kMaxSide = 2048;
    const int width = std::min(image_.width(), kMaxSide);
    const int height = std::min(image_.height(), kMaxSide);
    if (width <= 0 || height <= 0) return QImage();
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            image_.Row(static_cast<int>(static_cast<std::int64_t>(y) * image_.height() / height));
        auto* out = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
        if (width == image_.width()) {
            std::copy_n(row, width, out);
            continue;
        }
        for (int x = 0; x < width; ++x)
            out[x] = row[static_cast<std::int64_t>(x) * image_.width() / width];
    }
    return picture;
}

void BarWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    SyncImageSize();
}

void BarWidget::mousePressEvent(QMouseEvent* event) {
    if (mouseHandler) mouseHandler(*event);
}

void BarWidget::mouseMoveEvent(QMouseEvent* event) {
    if (mouseHandler) mouseHandler(*event);
}

void BarWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (mouseHandler) mouseHandler(*event);
}

}  // namespace tarn::qt
