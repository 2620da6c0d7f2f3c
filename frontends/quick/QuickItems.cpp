#include "frontends/quick/QuickItems.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QStyleHints>
#include <QTouchEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "controller/HintCorner.h"
#include "platform/Colour.h"
#include "platform/DesignData.h"
#include "platform/PixelRatio.h"

namespace tarn::quick {

QSGNode* PaintedNode(QQuickItem& item, QSGNode* old, const std::function<void(QPainter&)>& paint) {
    QQuickWindow* window = item.window();
    const QRectF inWindow =
        window == nullptr ? QRectF()
                          : item.mapRectFromScene(QRectF(0, 0, window->width(), window->height()))
                                .intersected(QRectF(0, 0, item.width(), item.height()));
    const QRect area =
        inWindow.toAlignedRect().intersected(QRect(0, 0, static_cast<int>(std::ceil(item.width())),
                                                   static_cast<int>(std::ceil(item.height()))));
    if (area.isEmpty()) {
        delete old;
        return nullptr;
    }
    const double ratio = platform::UsableRatio(window->effectiveDevicePixelRatio());
    QImage image(platform::DeviceLength(area.width(), ratio),
                 platform::DeviceLength(area.height(), ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        paint(painter);
    }
    auto* node = static_cast<QSGImageNode*>(old);
    if (node == nullptr) {
        node = window->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(QSGTexture::Nearest);
    }
    node->setTexture(window->createTextureFromImage(image));
    node->setRect(QRectF(area));
    node->markDirty(QSGNode::DirtyMaterial);
    return node;
}

// --- bars -----------------------------------------------------------------------------------

QPalette PaletteOf(QQuickItem& item) {
    QPalette palette = QGuiApplication::palette();
    // Qt Quick's palette type has no public C++ header: its colour groups and colours are read by
    // name.
    auto* quick = item.property("palette").value<QObject*>();
    if (quick == nullptr) return palette;
    static constexpr std::pair<const char*, QPalette::ColorGroup> kGroups[] = {
        {"active", QPalette::Active},
        {"inactive", QPalette::Inactive},
        {"disabled", QPalette::Disabled}};
    static constexpr std::pair<const char*, QPalette::ColorRole> kRoles[] = {
        {"window", QPalette::Window},
        {"windowText", QPalette::WindowText},
        {"base", QPalette::Base},
        {"alternateBase", QPalette::AlternateBase},
        {"text", QPalette::Text},
        {"brightText", QPalette::BrightText},
        {"placeholderText", QPalette::PlaceholderText},
        {"button", QPalette::Button},
        {"buttonText", QPalette::ButtonText},
        {"light", QPalette::Light},
        {"midlight", QPalette::Midlight},
        {"mid", QPalette::Mid},
        {"dark", QPalette::Dark},
        {"shadow", QPalette::Shadow},
        {"highlight", QPalette::Highlight},
        {"highlightedText", QPalette::HighlightedText},
        {"link", QPalette::Link},
        {"linkVisited", QPalette::LinkVisited},
        {"toolTipBase", QPalette::ToolTipBase},
        {"toolTipText", QPalette::ToolTipText}};
    for (const auto& [groupName, group] : kGroups) {
        auto* colours = quick->property(groupName).value<QObject*>();
        if (colours == nullptr) continue;
        for (const auto& [roleName, role] : kRoles) {
            const QVariant colour = colours->property(roleName);
            if (colour.canConvert<QColor>()) palette.setColor(group, role, colour.value<QColor>());
        }
    }
    return palette;
}

BarItem::BarItem(QQuickItem* parent) : QQuickItem(parent) {
    setFlag(ItemHasContents);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton);
    setAcceptHoverEvents(true);
    setAcceptTouchEvents(true);
}

void BarItem::touchEvent(QTouchEvent* event) {
    const QEventPoint* point = nullptr;
    for (const QEventPoint& candidate : event->points())
        if (event->type() == QEvent::TouchBegin ? point == nullptr : candidate.id() == touch_.id)
            point = &candidate;
    if (point == nullptr || (event->type() != QEvent::TouchBegin && !touch_.tracking)) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF at = point->position();
    switch (event->type()) {
        case QEvent::TouchBegin:
            touch_ = Touch{true, false, false, point->id(), at, at, event->modifiers()};
            return;
        case QEvent::TouchUpdate: {
            touch_.last = at;
            if (!touch_.along) {
                if (!ClaimsAt(at)) return;
                touch_.along = true;
                TouchAsMouse(QEvent::MouseButtonPress, touch_.start, touch_.modifiers);
            }
            TouchAsMouse(QEvent::MouseMove, at, event->modifiers());
            return;
        }
        case QEvent::TouchEnd:
            // A tap is a press and a release where the finger went down and came up.
            if (!touch_.along)
                TouchAsMouse(QEvent::MouseButtonPress, touch_.start, touch_.modifiers);
            touch_.along = true;
            touch_.last = at;
            EndTouch();
            return;
        default:
            EndTouch();
            return;
    }
}

void BarItem::ClaimTouchAlong(const QTouchEvent& event) {
    for (const QEventPoint& point : event.points())
        if (touch_.tracking && point.id() == touch_.id)
            ClaimsAt(mapFromScene(point.scenePosition()));
}

bool BarItem::ClaimsAt(QPointF at) {
    if (touch_.claimed) return true;
    // Along the bar when it went further across than down, by half the distance that starts a
    // drag: sooner than a Flickable, which waits for the whole distance.
    const QPointF moved = at - touch_.start;
    const double along = std::max(1, QGuiApplication::styleHints()->startDragDistance() / 2);
    if (std::abs(moved.x()) <= std::abs(moved.y()) || std::abs(moved.x()) < along) return false;
    touch_.claimed = true;
    setKeepTouchGrab(true);
    return true;
}

void BarItem::touchUngrabEvent() {
    EndTouch();
}

void BarItem::EndTouch() {
    // A drag taken away or cancelled ends where the finger last was.
    const Touch ended = touch_;
    touch_ = Touch{};
    setKeepTouchGrab(false);
    if (ended.tracking && ended.along)
        TouchAsMouse(QEvent::MouseButtonRelease, ended.last, ended.modifiers);
}

void BarItem::TouchAsMouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers) {
    if (!handler) return;
    const QPointF scene = mapToScene(at);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent mouse(type, at, scene, scene,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, modifiers);
    handler(mouse);
}

void BarItem::SetPixelRatio(double ratio) {
    ratio = platform::UsableRatio(ratio);
    if (ratio == pixelRatio_) return;
    pixelRatio_ = ratio;
    innerSize_ = QSize(-1, -1);  // the pixels take their new device size below
    SyncImageSize();
}

platform::SharedRowImage& BarItem::DrawingImage() {
    drawn_ = true;
    return image_;
}

platform::PixelView BarItem::DrawingView() {
    drawn_ = true;
    if (innerSize_.isEmpty())
        return platform::PixelView{nullptr, image_.width(), image_.height(), image_.width()};
    return image_.Dense();
}

void BarItem::Clear() {
    image_.Fill(0, 0, image_.width(), image_.height(),
                platform::PixelOf(platform::kBackgroundColour));
    drawn_ = true;
}

void BarItem::SyncImageSize() {
    const int border = design::kBarBorder;
    const QSize inner(std::max(0, static_cast<int>(width()) - 2 * border),
                      std::max(0, static_cast<int>(height()) - 2 * border));
    if (inner == innerSize_) return;
    innerSize_ = inner;
    image_.Reset(platform::DeviceLength(inner.width(), pixelRatio_),
                 platform::DeviceLength(inner.height(), pixelRatio_),
                 platform::PixelOf(platform::kBackgroundColour));
    update();
}

void BarItem::SetValue(int block) {
    if (block == value_) return;
    value_ = block;
    Q_EMIT valueChanged();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, block);
        QAccessible::updateAccessibility(&event);
    }
}

void BarItem::SetPalette(const QPalette& palette) {
    palette_ = palette;
    update();
}

void BarItem::ShowChanges() {
    if (!drawn_) return;
    drawn_ = false;
    update();
}

void BarItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size()) SyncImageSize();
}

QSGNode* BarItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData*) {
    return PaintedNode(*this, old, [this](QPainter& painter) { Paint(painter); });
}

void BarItem::Paint(QPainter& painter) {
    // A sunken frame two pixels wide, as the widget's bars have, in the editor's palette.
    const QPalette& palette = palette_;
    const int w = static_cast<int>(width());
    const int h = static_cast<int>(height());
    const auto frame = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const QRect r(inset, inset, w - 2 * inset, h - 2 * inset);
        if (r.isEmpty()) return;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    };
    frame(0, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    frame(1, palette.color(QPalette::Shadow), palette.color(QPalette::Midlight));
    // The device pixels under the painted part of the inner area, shown one to one.
    const QRectF clip = painter.transform().inverted().mapRect(
        QRectF(QPointF(0, 0), QSizeF(painter.device()->width(), painter.device()->height())));
    const double r = pixelRatio_;
    const double border = design::kBarBorder;
    const QRect area = QRect(QPoint(static_cast<int>(std::floor((clip.left() - border) * r)),
                                    static_cast<int>(std::floor((clip.top() - border) * r))),
                             QPoint(static_cast<int>(std::ceil((clip.right() - border) * r)),
                                    static_cast<int>(std::ceil((clip.bottom() - border) * r))))
                           .intersected(QRect(0, 0, image_.width(), image_.height()));
    if (area.isEmpty()) return;
    QImage pixels(area.width(), area.height(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        std::copy_n(image_.Row(area.top() + y) + area.left(), area.width(),
                    reinterpret_cast<std::uint32_t*>(pixels.scanLine(y)));
    pixels.setDevicePixelRatio(r);
    painter.drawImage(QPointF(border + area.left() / r, border + area.top() / r), pixels);
}

bool BarItem::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            // Handled here and accepted, so that the window gives the bar the mouse's grab for
            // the drag that follows: Qt Quick's own handlers would refuse the press.
            if (handler) {
                handler(*event);
                return true;
            }
            break;
        case QEvent::HoverMove:
        case QEvent::ShortcutOverride:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (handler) handler(*event);
            break;
        case QEvent::KeyPress:
            if (handler) {
                // A key the bar uses stops here; any other goes on as keys go in Qt Quick (Tab
                // moves the focus along the chain).
                event->ignore();
                handler(*event);
                if (event->isAccepted()) return true;
                // Qt Quick hands an item its keys accepted, for the item to refuse.
                event->accept();
            }
            break;
        default:
            break;
    }
    return QQuickItem::event(event);
}

// --- the surface ----------------------------------------------------------------------------

void SurfaceText::Clear() {
    pixels_ = QImage();
    texts_.clear();
    cleared_ = true;
}

void SurfaceText::ShowChanges() {
    if (!cleared_ && texts_ == shown_) return;
    cleared_ = false;
    shown_ = texts_;
    editor_.update();
}

void SurfaceText::Paint(QPainter& painter, const QFont& font, const QColor& background,
                        const QColor& ink) {
    painter.fillRect(QRectF(0, 0, editor_.width(), editor_.height()), background);
    if (!pixels_.isNull()) painter.drawImage(QPoint(0, 0), pixels_);
    if (texts_.empty()) return;
    painter.setFont(font);
    painter.setPen(ink);
    const int ascent = QFontMetrics(font).ascent();
    for (const Text& text : texts_)
        painter.drawText(
            QPoint(text.x, text.y + ascent),
            QString::fromLatin1(text.text.data(), static_cast<qsizetype>(text.text.size())));
}

platform::PixelView SurfaceText::Context::Pixels() {
    QImage& image = surface_.pixels_;
    const QSize size(static_cast<int>(surface_.Width()), static_cast<int>(surface_.Height()));
    if (image.size() != size) {
        image = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
        if (!image.isNull())
            image.fill(QColor::fromRgb(platform::PixelOf(platform::kBackgroundColour)));
    }
    if (image.isNull()) return {};
    surface_.cleared_ = true;
    return platform::PixelView{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                               image.height(),
                               static_cast<int>(image.bytesPerLine() / sizeof(std::uint32_t))};
}

void SurfaceText::Context::DrawText(std::int32_t x, std::int32_t y, std::string_view text) {
    surface_.texts_.push_back(Text{x, y, std::string(text)});
}

// --- overlays -------------------------------------------------------------------------------

CursorItem::CursorItem(QQuickItem* parent) : QQuickItem(parent) {
    setFlag(ItemHasContents);
    setZ(1);
    setVisible(false);
}

void CursorItem::ShowFrame(const QRect& frame, const QColor& colour) {
    if (frame.isEmpty()) {
        setVisible(false);
        return;
    }
    colour_ = colour;
    setPosition(frame.topLeft());
    setSize(frame.size());
    setVisible(true);
    update();
}

QSGNode* CursorItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData*) {
    return PaintedNode(*this, old, [this](QPainter& painter) {
        // Four solid strips; the inside shows the block beneath.
        const int w = kFrameWidth;
        const int width = static_cast<int>(this->width());
        const int height = static_cast<int>(this->height());
        painter.fillRect(QRect(0, 0, width, w), colour_);
        painter.fillRect(QRect(0, height - w, width, w), colour_);
        painter.fillRect(QRect(0, w, w, height - 2 * w), colour_);
        painter.fillRect(QRect(width - w, w, w, height - 2 * w), colour_);
    });
}

namespace {

/// The hint's frame line and the space between it and the text, in pixels.
constexpr int kHintFrame = 1;
constexpr int kHintMargin = 2;

QFont HintFont() {
    return QGuiApplication::font();
}

}  // namespace

HintItem::HintItem(QQuickItem* parent) : QQuickItem(parent) {
    setObjectName(QStringLiteral("hint"));
    setFlag(ItemHasContents);
    setZ(2);
    setVisible(false);
}

void HintItem::SetPalette(const QPalette& palette) {
    palette_ = palette;
    update();
}

void HintItem::ShowText(const QString& text, QPoint anchor, bool below) {
    if (text.isEmpty()) {
        setVisible(false);
        return;
    }
    const QFontMetrics metrics(HintFont());
    const int padding = kHintFrame + kHintMargin + metrics.averageCharWidth() / 2;
    const QSize size(metrics.horizontalAdvance(text) + 2 * padding,
                     metrics.height() + 2 * (kHintFrame + kHintMargin));
    const QQuickItem& editor = *parentItem();
    text_ = text;
    setPosition(qt::HintCorner(anchor, below, size, editor.size().toSize()));
    setSize(size);
    setVisible(true);
    update();
}

QSGNode* HintItem::updatePaintNode(QSGNode* old, UpdatePaintNodeData*) {
    return PaintedNode(*this, old, [this](QPainter& painter) {
        const QPalette& palette = palette_;
        const QColor ink = palette.color(QPalette::ToolTipText);
        const QRect all(0, 0, static_cast<int>(width()), static_cast<int>(height()));
        painter.fillRect(all, palette.color(QPalette::ToolTipBase));
        painter.setPen(QPen(ink, kHintFrame));
        painter.drawRect(QRectF(all).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setFont(HintFont());
        painter.drawText(all, Qt::AlignCenter, text_);
    });
}

}  // namespace tarn::quick
