#include "frontends/widgets/ScheduleOverlays.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controller/HintCorner.h"

namespace tarn::qt {

CursorOverlay::CursorOverlay(QWidget& control) : QWidget(&control) {
    setObjectName(QStringLiteral("KeyboardCursor"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CursorOverlay::ShowFrame(const QRect& frame, const QColor& colour) {
    if (frame.isEmpty()) {
        hide();
        return;
    }
    colour_ = colour;
    setGeometry(frame);
    show();
    raise();
    update();
}

QRect CursorOverlay::CursorRect() const {
    return isVisible() ? geometry() : QRect();
}

void CursorOverlay::paintEvent(QPaintEvent*) {
    // Four solid strips; the inside stays unpainted, showing the block beneath.
    QPainter painter(this);
    const QRect all = rect();
    const int w = kFrameWidth;
    painter.fillRect(QRect(all.left(), all.top(), all.width(), w), colour_);
    painter.fillRect(QRect(all.left(), all.bottom() - w + 1, all.width(), w), colour_);
    painter.fillRect(QRect(all.left(), all.top() + w, w, all.height() - 2 * w), colour_);
    painter.fillRect(QRect(all.right() - w + 1, all.top() + w, w, all.height() - 2 * w), colour_);
}

namespace {

/// The hint's frame line and the space between it and the text, in pixels.
constexpr int kHintFrame = 1;
constexpr int kHintMargin = 2;

}  // namespace

HintLabel::HintLabel(QWidget& control) : QWidget(&control) {
    setObjectName(QStringLiteral("TimeHint"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel is painted each time: nothing beneath shows through or needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    hide();
}

QSize HintLabel::SizeFor(const QString& text) const {
    const QFontMetrics metrics = fontMetrics();
    if (widestDigit_.isNull()) {
        widestDigit_ = QLatin1Char('0');
        for (char digit = '1'; digit <= '9'; ++digit)
            if (metrics.horizontalAdvance(QLatin1Char(digit)) >
                metrics.horizontalAdvance(widestDigit_))
                widestDigit_ = QLatin1Char(digit);
    }
    QString shape = text;
    for (QChar& c : shape)
        if (c.isDigit()) c = widestDigit_;
    const auto cached = sizes_.constFind(shape);
    if (cached != sizes_.constEnd()) return *cached;
    // A few shapes a day name makes; a host with many captions only fills the cache again.
    if (sizes_.size() >= 64) sizes_.clear();
    const int padding = kHintFrame + kHintMargin + metrics.averageCharWidth() / 2;
    const QSize size(metrics.horizontalAdvance(shape) + 2 * padding,
                     metrics.height() + 2 * (kHintFrame + kHintMargin));
    sizes_.insert(shape, size);
    return size;
}

QSize HintLabel::sizeHint() const {
    return SizeFor(text_);
}

void HintLabel::ShowText(const QString& text, QPoint anchor, bool below) {
    if (text.isEmpty()) {
        hide();
        return;
    }
    const QSize size = SizeFor(text);
    const QRect place(HintCorner(anchor, below, size, parentWidget()->size()), size);
    if (text != text_) {
        text_ = text;
        update();
    }
    // One geometry change: the old place is repainted by what lies beneath it, the new one by the
    // label.
    if (place != geometry()) setGeometry(place);
    if (!isVisible()) show();
    // Above the cursor's frame, which raises itself as it moves.
    if (parentWidget()->children().constLast() != this) raise();
}

void HintLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    const QColor ink = palette().color(foregroundRole());
    painter.fillRect(all, palette().color(backgroundRole()));
    painter.fillRect(QRect(all.left(), all.top(), all.width(), kHintFrame), ink);
    painter.fillRect(QRect(all.left(), all.bottom() - kHintFrame + 1, all.width(), kHintFrame),
                     ink);
    painter.fillRect(QRect(all.left(), all.top(), kHintFrame, all.height()), ink);
    painter.fillRect(QRect(all.right() - kHintFrame + 1, all.top(), kHintFrame, all.height()), ink);
    auto laidOut = laidOut_.find(text_);
    if (laidOut == laidOut_.end()) {
        // Every text a control shows fits many times over; a host with endless captions only
        // lays them out again.
        if (laidOut_.size() >= 256) laidOut_.clear();
        QStaticText text(text_);
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font());
        laidOut = laidOut_.insert(text_, text);
    }
    const QSizeF size = laidOut->size();
    painter.setPen(ink);
    painter.setFont(font());
    painter.drawStaticText(
        QPointF((all.width() - size.width()) / 2.0, (all.height() - size.height()) / 2.0),
        *laidOut);
}

void HintLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        sizes_.clear();
        laidOut_.clear();
        widestDigit_ = QChar();
        if (isVisible()) resize(SizeFor(text_));
    }
    QWidget::changeEvent(event);
}

}  // namespace tarn::qt
