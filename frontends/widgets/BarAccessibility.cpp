#include "frontends/widgets/BarAccessibility.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <algorithm>

#include "TarnSchedule/ScheduleWidget.h"
#include "platform/Platform.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "controller/ScheduleController.h"

namespace tarn::qt {

namespace {

class AccessibleBar final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleBar(BarWidget& bar, int index, ScheduleController& controller)
        : QAccessibleWidget(&bar, QAccessible::Slider), index_(index), controller_(&controller) {}

    QString text(QAccessible::Text t) const override {
        if (controller_ == nullptr) return QAccessibleWidget::text(t);
        switch (t) {
            case QAccessible::Name:
                return controller_->BarName(index_);
            case QAccessible::Description:
                return controller_->BarDescription(index_);
            case QAccessible::Value:
                return BlockTimeText(controller_->CursorBlock());
            default:
                return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        // A bar takes the focus only while the control lets it (Enable, and for the Special bar
        // SpecialDayEnabled); the widget's focus policy follows that.
        state.focusable = widget()->focusPolicy() != Qt::NoFocus;
        state.disabled = state.disabled || !state.focusable;
        return state;
    }

    // The value is the cursor's block; screen readers read it, only the keyboard moves it.
    QVariant currentValue() const override {
        return controller_ != nullptr ? controller_->CursorBlock() : 0;
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 95; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    int index_;
    QPointer<ScheduleController> controller_;
};

QAccessibleInterface* BarFactory(const QString&, QObject* object) {
    auto* bar = qobject_cast<BarWidget*>(object);
    if (bar == nullptr) return nullptr;
    auto* control = qobject_cast<ScheduleWidget*>(bar->parentWidget());
    if (control == nullptr) return nullptr;
    QtPlatform& platform = ScheduleWidgetInternals::Platform(*control);
    for (int index = 0; index < platform::kDayCount; ++index)
        if (&platform.Bar(index) == bar)
            return new AccessibleBar(*bar, index, ScheduleWidgetInternals::Controller(*control));
    return nullptr;
}

}  // namespace

void InstallBarAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(BarFactory);
        return true;
    }();
    (void)installed;
}

QString BlockTimeText(int block) {
    auto time = [](int minutes) {
        return QStringLiteral("%1:%2")
            .arg(minutes / 60, 2, 10, QLatin1Char('0'))
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    };
    const int start = std::clamp(block, 0, 95) * 15;
    return time(start) + QLatin1Char('-') + time(start + 15);
}

namespace {

AccessibleEventSink gSink = nullptr;

void Announce(QAccessibleEvent& event) {
    if (gSink != nullptr)
        gSink(&event);
    else if (QAccessible::isActive())
        QAccessible::updateAccessibility(&event);
}

}  // namespace

void SetAccessibleEventSink(AccessibleEventSink sink) {
    gSink = sink;
}

void AnnounceCursor(BarWidget& bar, int block) {
    if (gSink == nullptr && !QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(&bar, block);
    Announce(event);
}

void AnnounceText(BarWidget& bar, bool name, bool description) {
    if (gSink == nullptr && !QAccessible::isActive()) return;
    if (name) {
        QAccessibleEvent event(&bar, QAccessible::NameChanged);
        Announce(event);
    }
    if (description) {
        QAccessibleEvent event(&bar, QAccessible::DescriptionChanged);
        Announce(event);
    }
}

}  // namespace tarn::qt
