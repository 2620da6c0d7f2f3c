#include "frontends/widgets/QtWidgets.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "frontends/widgets/BarWidget.h"
#include "platform/Colour.h"
#include "platform/DesignData.h"
#include "platform/GeometryValue.h"

namespace tarn::qt {

namespace {

using platform::AcceptGeometry;

void SetLeft(QWidget& widget, float value) {
    widget.move(AcceptGeometry(value, false, "Left"), widget.y());
}

void SetTop(QWidget& widget, float value) {
    widget.move(widget.x(), AcceptGeometry(value, false, "Top"));
}

void SetWidth(QWidget& widget, float value) {
    widget.resize(AcceptGeometry(value, true, "Width"), widget.height());
}

void SetHeight(QWidget& widget, float value) {
    widget.resize(widget.width(), AcceptGeometry(value, true, "Height"));
}

}  // namespace

// --- geometry -------------------------------------------------------------------------------

template <class Interface>
float QtGeometry<Interface>::Left() {
    return static_cast<float>(widget_.x());
}
template <class Interface>
float QtGeometry<Interface>::Top() {
    return static_cast<float>(widget_.y());
}
template <class Interface>
float QtGeometry<Interface>::Width() {
    return static_cast<float>(widget_.width());
}
template <class Interface>
float QtGeometry<Interface>::Height() {
    return static_cast<float>(widget_.height());
}
template <class Interface>
void QtGeometry<Interface>::SetLeft(float value) {
    qt::SetLeft(widget_, value);
}
template <class Interface>
void QtGeometry<Interface>::SetTop(float value) {
    qt::SetTop(widget_, value);
}
template <class Interface>
void QtGeometry<Interface>::SetWidth(float value) {
    qt::SetWidth(widget_, value);
    SizeChanged();
}
template <class Interface>
void QtGeometry<Interface>::SetHeight(float value) {
    qt::SetHeight(widget_, value);
    SizeChanged();
}
template <class Interface>
void QtGeometry<Interface>::Refresh() {
    // The control refreshes its children while it lays them out, inside its resize event, when
    // the window may be in the middle of its own resize. Painting at once there paints and
    // flushes a half laid out window and brings the window's backing store to its new size, so
    // Qt no longer repaints the whole window once the resize is done, as it otherwise does:
    // pieces of the old layout stay on screen beside the control. The repaint is queued instead.
    widget_.update();
}

template class QtGeometry<platform::CommandButton>;
template class QtGeometry<platform::PictureBox>;

// --- buttons --------------------------------------------------------------------------------

int CaptionButton::CaptionRoom() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    // The style centres the caption in the contents; keep a little space from the bevel.
    return std::max(0, contents.width() - 2 * style()->pixelMetric(QStyle::PM_ButtonMargin) / 3);
}

QString CaptionButton::ShownCaption() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, CaptionRoom(), Qt::TextShowMnemonic);
}

void CaptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = ShownCaption();
    painter.drawControl(QStyle::CE_PushButton, option);
}

bool CaptionButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        // A cut caption is shown whole at the pointer.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (ShownCaption() != text())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QPushButton::event(event);
}

QtButton::QtButton(QPushButton& button) : QtGeometry(button), button_(button) {}

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

platform::SharedRowImage* BarContext::SharedRows() {
    return &bar_.DrawingImage();
}

void BarContext::DrawText(std::int32_t, std::int32_t, std::string_view) {}

double BarContext::PixelRatio() const {
    return bar_.PixelRatio();
}

QtBar::QtBar(BarWidget& bar, int index) : QtGeometry(bar), bar_(bar), context_(bar, index) {}

void QtBar::SizeChanged() {
    bar_.SyncImageSize();
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

// --- surface --------------------------------------------------------------------------------

QtSurface::QtSurface(QWidget& control) : control_(control), context_(*this) {}

void QtSurface::Clear() {
    if (!pixels_.isNull()) Request(pixels_.rect());
    pixels_ = QImage();
    texts_.clear();
    drawn_ = QRect();
    CompareTextsLater();
}

void QtSurface::CompareTextsLater() {
    if (comparePending_) return;
    comparePending_ = true;
    QMetaObject::invokeMethod(
        &control_, [this] { CompareTexts(); }, Qt::QueuedConnection);
}

void QtSurface::CompareTexts() {
    if (!comparePending_) return;
    comparePending_ = false;
    if (texts_ == shownTexts_) return;
    Request(shownDrawn_);
    Request(drawn_);
    shownTexts_ = texts_;
    shownDrawn_ = drawn_;
}

double QtSurface::Width() {
    return control_.width();
}
double QtSurface::Height() {
    return control_.height();
}

void QtSurface::Resize(const QSize& size) {
    if (size == size_) return;
    size_ = size;
    pixels_ = QImage();
}

void QtSurface::Paint(QPainter& painter, const QRect& area) {
    const QColor background = control_.palette().color(control_.backgroundRole());
    if (pixels_.isNull()) {
        painter.fillRect(area, background);
    } else {
        if (!pixels_.rect().contains(area)) painter.fillRect(area, background);
        painter.drawImage(area.topLeft(), pixels_, area);
    }
    if (texts_.empty() || !drawn_.intersects(area)) return;
    painter.save();
    painter.setClipRect(area);
    painter.setFont(control_.font());
    painter.setPen(control_.palette().color(control_.foregroundRole()));
    const int ascent = Metrics().ascent();
    for (const Text& text : texts_) {
        // (x, y) is the top-left corner of the text.
        painter.drawText(
            QPoint(text.x, text.y + ascent),
            QString::fromLatin1(text.text.data(), static_cast<qsizetype>(text.text.size())));
    }
    painter.restore();
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
    QImage& image = surface_.pixels_;
    if (image.isNull() && !surface_.size_.isEmpty()) {
        image = QImage(surface_.size_, QImage::Format_RGB32);
        image.fill(surface_.control_.palette().color(surface_.control_.backgroundRole()));
    }
    if (image.isNull()) return {};
    surface_.Request(image.rect());
    return platform::PixelView{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                               image.height(),
                               static_cast<int>(image.bytesPerLine() / sizeof(std::uint32_t))};
}

void QtSurface::Context::DrawText(std::int32_t x, std::int32_t y, std::string_view text) {
    surface_.texts_.push_back(Text{x, y, std::string(text)});
    // Generous bounds: every character as wide as the widest of the font.
    const QFontMetrics& metrics = surface_.Metrics();
    const QRect bounds(x - 2, y - 2, metrics.maxWidth() * static_cast<int>(text.size()) + 4,
                       metrics.height() + 4);
    surface_.drawn_ |= bounds;
    surface_.CompareTextsLater();
}

}  // namespace tarn::qt
