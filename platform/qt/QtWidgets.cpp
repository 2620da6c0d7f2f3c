#include "platform/qt/QtWidgets.h"

#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "model/DesignData.h"
#include "platform/Colour.h"
#include "platform/PlatformError.h"
#include "platform/qt/BarWidget.h"

namespace tarn::qt {

namespace {

/// A geometry value as whole pixels: finite, within 16 bits, not negative for a size; rounded to
/// the nearest pixel, halves to even.
int AcceptPixels(float value, bool isSize, const char* what) {
    if (!std::isfinite(value) || value < -32768.0f || value > 32767.0f || (isSize && value < 0.0f))
        throw platform::PlatformError(std::string("Invalid property value for ") + what);
    return static_cast<int>(std::nearbyint(value));
}

void SetLeft(QWidget& widget, float value) {
    widget.move(AcceptPixels(value, false, "Left"), widget.y());
}

void SetTop(QWidget& widget, float value) {
    widget.move(widget.x(), AcceptPixels(value, false, "Top"));
}

void SetWidth(QWidget& widget, float value) {
    widget.resize(AcceptPixels(value, true, "Width"), widget.height());
}

void SetHeight(QWidget& widget, float value) {
    widget.resize(widget.width(), AcceptPixels(value, true, "Height"));
}

}  // namespace

// --- buttons --------------------------------------------------------------------------------

float QtButton::Left() {
    return static_cast<float>(button_.x());
}
float QtButton::Top() {
    return static_cast<float>(button_.y());
}
float QtButton::Width() {
    return static_cast<float>(button_.width());
}
float QtButton::Height() {
    return static_cast<float>(button_.height());
}
void QtButton::SetLeft(float value) {
    qt::SetLeft(button_, value);
}
void QtButton::SetTop(float value) {
    qt::SetTop(button_, value);
}
void QtButton::SetWidth(float value) {
    qt::SetWidth(button_, value);
}
void QtButton::SetHeight(float value) {
    qt::SetHeight(button_, value);
}
void QtButton::Refresh() {
    button_.repaint();
}
std::string QtButton::Caption() {
    return button_.text().toStdString();
}
void QtButton::SetCaption(const std::string& caption) {
    button_.setText(QString::fromStdString(caption));
}
bool QtButton::Enabled() {
    return button_.isEnabled();
}
void QtButton::SetEnabled(bool enabled) {
    button_.setEnabled(enabled);
}

// --- bars -----------------------------------------------------------------------------------

platform::PixelView BarContext::Pixels() {
    return bar_.DrawingView();
}

void BarContext::DrawText(std::int32_t, std::int32_t, std::string_view) {}

float QtBar::Left() {
    return static_cast<float>(bar_.x());
}
float QtBar::Top() {
    return static_cast<float>(bar_.y());
}
float QtBar::Width() {
    return static_cast<float>(bar_.width());
}
float QtBar::Height() {
    return static_cast<float>(bar_.height());
}
void QtBar::SetLeft(float value) {
    qt::SetLeft(bar_, value);
}
void QtBar::SetTop(float value) {
    qt::SetTop(bar_, value);
}

void QtBar::SetWidth(float value) {
    qt::SetWidth(bar_, value);
    bar_.SyncImageSize();
}

void QtBar::SetHeight(float value) {
    qt::SetHeight(bar_, value);
    bar_.SyncImageSize();
}

void QtBar::Refresh() {
    bar_.repaint();
}

float QtBar::ScaleWidth() {
    return static_cast<float>(bar_.innerSize().width());
}
float QtBar::ScaleHeight() {
    return static_cast<float>(bar_.innerSize().height());
}
void QtBar::Cls() {
    bar_.Clear();
}

// --- timer ----------------------------------------------------------------------------------

bool QtTimer::Enabled() {
    return manual_ ? manualArmed_ : timer_.isActive();
}

void QtTimer::SetEnabled(bool enabled) {
    if (manual_) {
        manualArmed_ = enabled;
    } else if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        // Starting an active QTimer would restart its interval; an armed timer stays as it is.
        timer_.start();
    }
}

int QtTimer::Interval() {
    return timer_.interval();
}

void QtTimer::SetManual(bool manual) {
    if (manual == manual_) return;
    const bool armed = Enabled();
    SetEnabled(false);
    manual_ = manual;
    SetEnabled(armed);
}

// --- surface --------------------------------------------------------------------------------

QtSurface::QtSurface(QWidget& control) : control_(control), context_(*this) {}

void QtSurface::Clear() {
    Request(drawn_);
    clearPending_ = true;
    texts_.clear();
    drawnTexts_ = 0;
}

double QtSurface::Width() {
    return control_.width();
}
double QtSurface::Height() {
    return control_.height();
}

void QtSurface::Resize(const QSize& size) {
    if (size == image_.size()) return;
    BringUpToDate();
    QImage resized(size, QImage::Format_RGB32);
    if (resized.isNull()) {
        image_ = QImage();
        return;
    }
    resized.fill(control_.palette().color(control_.backgroundRole()));
    QPainter painter(&resized);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = std::move(resized);
}

const QImage& QtSurface::image() {
    BringUpToDate();
    return image_;
}

void QtSurface::BringUpToDate() {
    if (image_.isNull()) {
        drawnTexts_ = texts_.size();
        clearPending_ = false;
        return;
    }
    if (!clearPending_ && drawnTexts_ == texts_.size()) return;
    QPainter painter(&image_);
    if (clearPending_) {
        painter.fillRect(drawn_.intersected(image_.rect()),
                         control_.palette().color(control_.backgroundRole()));
        drawn_ = QRect();
        clearPending_ = false;
    }
    if (drawnTexts_ == texts_.size()) return;
    const QFontMetrics& metrics = Metrics();
    painter.setFont(control_.font());
    painter.setPen(control_.palette().color(control_.foregroundRole()));
    for (; drawnTexts_ < texts_.size(); ++drawnTexts_) {
        const Text& text = texts_[drawnTexts_];
        const QString string =
            QString::fromLatin1(text.text.data(), static_cast<qsizetype>(text.text.size()));
        // (x, y) is the top-left corner of the text.
        const QPoint baseline(text.x, text.y + metrics.ascent());
        painter.drawText(baseline, string);
        drawn_ |= metrics.boundingRect(string).translated(baseline).adjusted(-2, -2, 2, 2);
    }
}

void QtSurface::Request(const QRect& area) {
    if (area.isEmpty() || requested_.contains(area)) return;
    requested_ |= area;
    control_.update(requested_);
}

const QFontMetrics& QtSurface::Metrics() {
    if (metrics_ == nullptr || metricsFont_ != control_.font()) {
        metricsFont_ = control_.font();
        metrics_ = std::make_unique<QFontMetrics>(metricsFont_);
    }
    return *metrics_;
}

platform::PixelView QtSurface::Context::Pixels() {
    surface_.BringUpToDate();
    QImage& image = surface_.image_;
    surface_.drawn_ = image.rect();
    surface_.Request(image.rect());
    if (image.isNull()) return {};
    return platform::PixelView{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                               image.height(),
                               static_cast<int>(image.bytesPerLine() / sizeof(std::uint32_t))};
}

void QtSurface::Context::DrawText(std::int32_t x, std::int32_t y, std::string_view text) {
    surface_.texts_.push_back(Text{x, y, std::string(text)});
    // Generous bounds: every character as wide as the widest of the font.
    const QFontMetrics& metrics = surface_.Metrics();
    surface_.Request(QRect(x - 2, y - 2, metrics.maxWidth() * static_cast<int>(text.size()) + 4,
                           metrics.height() + 4));
}

}  // namespace tarn::qt
