#include "platform/qt/BarWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "model/DesignData.h"
#include "platform/Colour.h"

namespace tarn::qt {

BarWidget::BarWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(design::kBarBorder);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

platform::PixelView BarWidget::DrawingView() {
    MarkChanged();
    if (image_.isNull()) {
        // An inner area without width or height keeps its other side; nothing lies in it.
        if (innerSize_.isEmpty())
            return platform::PixelView{nullptr, innerSize_.width(), innerSize_.height(),
                                       innerSize_.width()};
        return {};
    }
    return platform::PixelView{reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(),
                               image_.height(),
                               static_cast<int>(image_.bytesPerLine() / sizeof(std::uint32_t))};
}

void BarWidget::Clear() {
    image_.fill(platform::PixelOf(platform::kBackgroundColour));
    MarkChanged();
}

void BarWidget::MarkChanged() {
    // One update request covers every drawing call until the bar is painted.
    if (changePending_) return;
    changePending_ = true;
    update(contentsRect());
}

void BarWidget::paintEvent(QPaintEvent* event) {
    changePending_ = false;
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), image_);
}

void BarWidget::SyncImageSize() {
    const int border = design::kBarBorder;
    const QSize inner(std::max(0, width() - 2 * border), std::max(0, height() - 2 * border));
    if (inner == innerSize_) return;
    innerSize_ = inner;
    image_ = QImage(inner, QImage::Format_RGB32);
    Clear();
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
