#include "frontends/quick/QuickPlatform.h"

#include <QQuickItem>
#include <QVariant>

#include "platform/DesignData.h"
#include "platform/GeometryValue.h"
#include "platform/PlatformError.h"

namespace tarn::quick {

namespace {

using platform::AcceptGeometry;

QRect DesignGeometry(const design::WidgetDesign& widget) {
    using design::Pixels;
    return QRect(Pixels(widget.left), Pixels(widget.top), Pixels(widget.width),
                 Pixels(widget.height));
}

}  // namespace

// --- buttons --------------------------------------------------------------------------------

void QuickButton::SetLeft(float value) {
    geometry_.moveLeft(AcceptGeometry(value, false, "Left"));
    Show();
}
void QuickButton::SetTop(float value) {
    geometry_.moveTop(AcceptGeometry(value, false, "Top"));
    Show();
}
void QuickButton::SetWidth(float value) {
    geometry_.setWidth(AcceptGeometry(value, true, "Width"));
    Show();
}
void QuickButton::SetHeight(float value) {
    geometry_.setHeight(AcceptGeometry(value, true, "Height"));
    Show();
}
void QuickButton::Refresh() {
    if (item_ != nullptr) item_->update();
}
void QuickButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    Show();
}
void QuickButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Show();
}

void QuickButton::Attach(QQuickItem* item) {
    item_ = item;
    Show();
}

void QuickButton::Show() {
    if (item_ == nullptr) return;
    item_->setPosition(geometry_.topLeft());
    item_->setSize(geometry_.size());
    item_->setEnabled(enabled_);
    item_->setProperty("text", QString::fromStdString(caption_));
}

// --- bars -----------------------------------------------------------------------------------

void QuickBar::SetLeft(float value) {
    bar_.setX(AcceptGeometry(value, false, "Left"));
}
void QuickBar::SetTop(float value) {
    bar_.setY(AcceptGeometry(value, false, "Top"));
}
void QuickBar::SetWidth(float value) {
    bar_.setWidth(AcceptGeometry(value, true, "Width"));
}
void QuickBar::SetHeight(float value) {
    bar_.setHeight(AcceptGeometry(value, true, "Height"));
}

// --- the platform ---------------------------------------------------------------------------

QuickPlatform::QuickPlatform(QQuickItem& editor, SurfaceText& surface, platform::HostServices& host,
                             bool manualTimer)
    : host_(host), surface_(surface), timer_(qtimer_) {
    auto makeButton = [](const design::WidgetDesign& design) {
        return std::make_unique<QuickButton>(std::string(design.caption), DesignGeometry(design));
    };
    for (int i = 0; i < platform::kDayCount; ++i) {
        buttons_[static_cast<std::size_t>(i)] = makeButton(design::DayButton(i));
        auto* bar = new BarItem(&editor);
        bar->setObjectName(QStringLiteral("Schedule(%1)").arg(i));
        const QRect geometry = DesignGeometry(design::DayBar(i));
        bar->setPosition(geometry.topLeft());
        bar->setSize(geometry.size());
        bar->SyncImageSize();
        bars_[static_cast<std::size_t>(i)] = std::make_unique<QuickBar>(*bar, i);
    }
    buttons_[8] = makeButton(design::kEnableButton);
    buttons_[9] = makeButton(design::kDisableButton);
    qtimer_.setObjectName(QStringLiteral("InitTimer"));
    qtimer_.setInterval(design::kTimerIntervalMs);
    timer_.SetManual(manualTimer);
}

QuickPlatform::~QuickPlatform() = default;

platform::CommandButton& QuickPlatform::DayButton(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *buttons_[static_cast<std::size_t>(index)];
}

platform::PictureBox& QuickPlatform::DayBar(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *bars_[static_cast<std::size_t>(index)];
}

void QuickPlatform::ShowChanges() {
    for (auto& bar : bars_)
        bar->item().ShowChanges();
    surface_.ShowChanges();
}

}  // namespace tarn::quick
