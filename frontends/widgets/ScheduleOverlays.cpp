#include "frontends/widgets/ScheduleOverlays.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "model/Arithmetic.h"
#include "model/DesignData.h"
#include "frontends/widgets/BarWidget.h"

namespace tarn::qt {

namespace {

int BlockEdge(int block, int innerWidth) {
    return static_cast<int>(RoundHalfEven(block * (innerWidth / 96.0)));
}

}  // namespace

QRect CursorBlockRect(int block, int innerWidth, int innerHeight) {
    block = std::clamp(block, 0, 95);
    const int left = BlockEdge(block, innerWidth);
    const int right = BlockEdge(block + 1, innerWidth);
    return QRect(left, 0, std::max(1, right - left), innerHeight);
}

CursorOverlay::CursorOverlay(QWidget& control) : QWidget(&control) {
    setObjectName(QStringLiteral("KeyboardCursor"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CursorOverlay::ShowOn(BarWidget* bar, int block, const QColor& colour) {
    if (bar == nullptr || !bar->isVisible() || bar->innerSize().isEmpty()) {
        hide();
        return;
    }
    block_ = block;
    colour_ = colour;
    // Around the block, so that the block's own marks and state still show inside the frame.
    const QRect inner(bar->geometry().topLeft() + QPoint(design::kBarBorder, design::kBarBorder),
                      bar->innerSize());
    const QRect frame = CursorBlockRect(block, inner.width(), inner.height());
    setGeometry(frame.translated(inner.topLeft())
                    .adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth));
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

HintLabel::HintLabel(QWidget& control) : QLabel(&control) {
    setObjectName(QStringLiteral("TimeHint"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    hide();
}

void HintLabel::ShowText(const QString& text, QPoint anchor, bool below) {
    if (text.isEmpty()) {
        hide();
        return;
    }
    setText(text);
    resize(sizeHint());
    const QWidget& control = *parentWidget();
    QPoint corner = below ? anchor + QPoint(12, 18) : anchor - QPoint(0, height() + 2);
    if (!below && corner.y() < 0) corner.setY(anchor.y() + 4);
    corner.setX(std::clamp(corner.x(), 0, std::max(0, control.width() - width())));
    corner.setY(std::clamp(corner.y(), 0, std::max(0, control.height() - height())));
    move(corner);
    show();
    raise();
}

}  // namespace tarn::qt
